#include "Fakes.h"
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

// What a screen reader finds on the start window.
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
};

QTEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"
