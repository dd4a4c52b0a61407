#include "Fakes.h"
#include "frmFinish.h"
#include "frmStart.h"
#include "mdMain.h"

#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {

// What a screen reader reads from a control down, in its order: for each control "role: name",
// its description in parentheses, the labels that label it in brackets, "hidden" when it is.
QStringList Announcements(QObject *control)
{
    QAccessibleInterface *a = QAccessible::queryAccessibleInterface(control);
    QString text = QMetaEnum::fromType<QAccessible::Role>().valueToKey(a->role()) + u": "_s +
                   a->text(QAccessible::Name);
    if (const QString description = a->text(QAccessible::Description); !description.isEmpty())
        text += u" ("_s + description + u')';
    for (const auto &[label, relation] : a->relations(QAccessible::Label)) {
        if (label->role() == QAccessible::StaticText)
            text += u" ["_s + label->text(QAccessible::Name) + u']';
    }
    QStringList all{a->state().invisible ? text + u" hidden"_s : text};
    for (int i = 0; i < a->childCount(); ++i)
        all += Announcements(a->child(i)->object());
    return all;
}

} // namespace

// What a screen reader finds on the two windows.
class AccessibilityTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { mdMain::UseCalculatorProbe(std::make_unique<FakeCalculatorProbe>()); }

    void startWindow()
    {
        frmStart w;
        w.show();
        QCOMPARE(Announcements(&w),
                 (u"Client: Обучающие примеры|Grouping: Тип примеров|RadioButton: Сложение|"
                  u"RadioButton: Вычитание|RadioButton: Умножение|RadioButton: Деление|"
                  u"RadioButton: Остаток от деления|RadioButton: Возведение в степень|"
                  u"RadioButton: Логарифмирование|CheckBox: Сложные примеры|Grouping: Параметры|"
                  u"StaticText: Первое число|StaticText: от|"
                  u"EditableText: Первое число, от [Первое число] [от]|StaticText: до|"
                  u"EditableText: Первое число, до [до]|StaticText: Второе число|StaticText: от|"
                  u"EditableText: Второе число, от [Второе число] [от]|StaticText: до|"
                  u"EditableText: Второе число, до [до]|StaticText: Имя:|"
                  u"EditableText: Имя [Имя:]|CheckBox: Интеллектуальный режим|Button: Начать|"
                  u"Button: Секундомер (Кнопка ничего не делает)"_s.split(u'|')));
    }

    // Before the quiz the pass banner is in front; after a failed one only the fail banner.
    void resultsWindow()
    {
        frmFinish f;
        f.show();
        QCOMPARE(Announcements(&f),
                 (u"Client: Посмотрим, как у тебя дела...|StaticText: Имя ученика|"
                  u"StaticText: Всего было 12 вопросов|"
                  u"StaticText: Ты ответил правильно на все вопросы|"
                  u"StaticText: Думал над решениями |StaticText: Ты не прошёл тест hidden|"
                  u"StaticText: Ты прошёл тест"_s.split(u'|')));

        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs->answers = QStringList(12, u"0"_s); // no product of 1..10 by 1..10 is 0
        mdMain::UseDialogs(std::move(dialogs));
        mdMain::Settings() = {u"Маша"_s, 1, 10, 1, 10, Operation::Multiplication};
        frmFinish failed;
        QVERIFY(failed.loadAndShow());
        QCOMPARE(
            Announcements(&failed).filter(u"StaticText: Ты"_s),
            QStringList({"StaticText: Ты не ответил верно ни на один вопрос",
                         "StaticText: Ты прошёл тест hidden", "StaticText: Ты не прошёл тест"}));
    }
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
