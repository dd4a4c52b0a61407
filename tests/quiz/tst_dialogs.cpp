#include "Fakes.h"
#include "QtQuizDialogs.h"
#include "QuizRun.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// Answers the next modal dialog that opens, once the event loop runs it.
void WhenModal(std::function<void(QWidget *)> answer)
{
    QTimer::singleShot(0, [answer] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal) {
            WhenModal(answer);
            return;
        }
        answer(modal);
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
    void askTextShowsPromptTitleAndDefault();
    void cancelAndCloseGiveEmptyText();
    void messageBoxesCarryIconAndTitle();
    void wholeQuizThroughRealDialogs();
};

void DialogsTest::askTextShowsPromptTitleAndDefault()
{
    QtQuizDialogs dialogs;
    QString seenTitle, seenLabel, seenDefault;
    WhenModal([&](QWidget *modal) {
        auto *input = qobject_cast<QInputDialog *>(modal);
        QVERIFY(input);
        seenTitle = input->windowTitle();
        seenLabel = input->labelText();
        seenDefault = input->textValue();
        QLineEdit *edit = input->findChild<QLineEdit *>();
        edit->selectAll();
        QTest::keyClicks(edit, QStringLiteral("-12"));
        QTest::keyClick(edit, Qt::Key_Return);
    });
    const QString answer = dialogs.AskText(QStringLiteral("Сколько будет 3 плюс 5?"),
                                           QStringLiteral("Вопрос №1"), QStringLiteral("0"));
    QCOMPARE(answer, QStringLiteral("-12"));
    QCOMPARE(seenTitle, QStringLiteral("Вопрос №1"));
    QCOMPARE(seenLabel, QStringLiteral("Сколько будет 3 плюс 5?"));
    QCOMPARE(seenDefault, QStringLiteral("0"));
}

void DialogsTest::cancelAndCloseGiveEmptyText()
{
    QtQuizDialogs dialogs;
    WhenModal([](QWidget *modal) {
        auto *box = modal->findChild<QDialogButtonBox *>();
        box->button(QDialogButtonBox::Cancel)->click();
    });
    QCOMPARE(dialogs.AskText(QStringLiteral("?"), QStringLiteral("Вопрос №2"), QStringLiteral("0")),
             QString());

    WhenModal([](QWidget *modal) { modal->close(); });
    QCOMPARE(dialogs.AskText(QStringLiteral("?"), QStringLiteral("Вопрос №3"), QStringLiteral("0")),
             QString());
}

void DialogsTest::messageBoxesCarryIconAndTitle()
{
    const struct
    {
        MessageIcon icon;
        QMessageBox::Icon qtIcon;
        std::optional<QString> title;
        QString shownTitle;
    } cases[] = {
        {MessageIcon::Information, QMessageBox::Information, QStringLiteral("Молодец"),
         QStringLiteral("Молодец")},
        {MessageIcon::Error, QMessageBox::Critical, QStringLiteral("7\u00B78=56"),
         QStringLiteral("7\u00B78=56")},
        {MessageIcon::Warning, QMessageBox::Warning, QString(), QString()},
        {MessageIcon::None, QMessageBox::NoIcon, std::nullopt, QStringLiteral("Vorpa")},
    };
    QtQuizDialogs dialogs;
    for (const auto &c : cases) {
        QMessageBox::Icon seenIcon{};
        QString seenTitle, seenText;
        WhenModal([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            seenIcon = box->icon();
            seenTitle = box->windowTitle();
            seenText = box->text();
            QCOMPARE(box->buttons().size(), 1);
            box->buttons().first()->click();
        });
        dialogs.ShowMessage(QStringLiteral("Правильно"), c.icon, c.title);
        QCOMPARE(seenIcon, c.qtIcon);
        QCOMPARE(seenTitle, c.shownTitle);
        QCOMPARE(seenText, QStringLiteral("Правильно"));
    }
}

void DialogsTest::wholeQuizThroughRealDialogs()
{
    QuizSettings settings;
    settings.Operation = Operation::Multiplication;
    settings.Min1 = settings.Max1 = 7;
    settings.Min2 = settings.Max2 = 8;

    QtQuizDialogs dialogs;
    Xoshiro256 random(1);
    MonotonicClock clock;
    FakeCalculatorProbe calculator;

    // Right answers to odd questions, wrong ones to even questions; collect verdict titles.
    int question = 0;
    QStringList verdictTitles;
    std::function<void(QWidget *)> answer = [&](QWidget *modal) {
        if (auto *input = qobject_cast<QInputDialog *>(modal)) {
            ++question;
            input->setTextValue(question % 2 ? QStringLiteral("56") : QStringLiteral("65"));
            input->accept();
        } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            verdictTitles << box->windowTitle();
            box->accept();
        }
        if (verdictTitles.size() < kQuestionCount)
            WhenModal(answer);
    };
    WhenModal(answer);

    const auto outcome = RunQuiz(settings, QuizServices{dialogs, random, clock, calculator});
    QVERIFY(outcome);
    QCOMPARE(outcome->CorrectCount, 6);
    QCOMPARE(verdictTitles.count(QStringLiteral("Молодец")), 6);
    QCOMPARE(verdictTitles.count(QStringLiteral("7\u00B78=56")), 6);
    QVERIFY(outcome->ThinkingSeconds >= 0.0);
}

QTEST_MAIN(DialogsTest)
#include "tst_dialogs.moc"
