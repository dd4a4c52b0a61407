#include "QtQuizDialogs.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

// Answers the next modal dialog once the event loop shows it.
void WhenModal(std::function<void(QWidget *)> answer)
{
    QTimer::singleShot(0, [answer] {
        if (QWidget *modal = QApplication::activeModalWidget())
            answer(modal);
        else
            WhenModal(answer);
    });
}

} // namespace

// The quiz's dialogs on the real toolkit, answered as a pupil would.
class DialogsTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { QApplication::setApplicationName(QStringLiteral("Vorpa")); }
    void cleanup() { QVERIFY(!QApplication::activeModalWidget()); }

    void askTextShowsPromptTitleAndDefault()
    {
        QStringList seen;
        WhenModal([&](QWidget *modal) {
            auto *input = qobject_cast<QInputDialog *>(modal);
            seen << input->windowTitle() << input->labelText() << input->textValue();
            QLineEdit *edit = input->findChild<QLineEdit *>();
            edit->selectAll();
            QTest::keyClicks(edit, u"-12"_s);
            QTest::keyClick(edit, Qt::Key_Return);
        });
        QCOMPARE(QtQuizDialogs().AskText(u"Сколько будет 3 плюс 5?"_s, u"Вопрос №1"_s, u"0"_s),
                 u"-12"_s);
        QCOMPARE(seen, QStringList({"Вопрос №1", "Сколько будет 3 плюс 5?", "0"}));
    }

    void cancelAndCloseGiveEmptyText()
    {
        WhenModal([](QWidget *modal) {
            modal->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)->click();
        });
        QCOMPARE(QtQuizDialogs().AskText({}, {}, u"0"_s), QString());
        WhenModal([](QWidget *modal) { modal->close(); });
        QCOMPARE(QtQuizDialogs().AskText({}, {}, u"0"_s), QString());
    }

    void messageBoxesCarryIconAndTitle()
    {
        // An empty title stays empty; an absent one shows the application's name.
        using M = QMessageBox;
        const std::tuple<MessageIcon, M::Icon, std::optional<QString>, QString> cases[] = {
            {MessageIcon::Information, M::Information, u"Молодец"_s, u"Молодец"_s},
            {MessageIcon::Error, M::Critical, u"7·8=56"_s, u"7·8=56"_s},
            {MessageIcon::Warning, M::Warning, QString(), QString()},
            {MessageIcon::None, M::NoIcon, std::nullopt, u"Vorpa"_s},
        };
        for (const auto &[icon, qtIcon, title, shownTitle] : cases) {
            QStringList seen;
            WhenModal([&](QWidget *modal) {
                auto *box = qobject_cast<QMessageBox *>(modal);
                seen << QString::number(box->icon()) << box->windowTitle() << box->text()
                     << QString::number(box->buttons().size());
                box->buttons().first()->click();
            });
            QtQuizDialogs().ShowMessage(u"Правильно"_s, icon, title);
            QCOMPARE(seen, QStringList({QString::number(qtIcon), shownTitle, u"Правильно"_s, "1"}));
        }
    }
};

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
