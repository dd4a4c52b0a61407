#include "ModalAnswerer.h"
#include "QtQuizDialogs.h"
#include "StoreForTests.h"
#include "Twips.h"
#include "frmFinish.h"
#include "frmStart.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QRadioButton>
#include <QRegularExpression>

namespace {

const QString kName = QStringLiteral("Петя");

// Starts a quiz of 7 times 8 from the start window, under another name than the login name
// so that nothing is saved.
void StartSevenTimesEight(frmStart &w, bool difficult = false)
{
    w.Text3->setText(kName);
    w.Option3->setChecked(true);
    w.Check1->setChecked(difficult);
    for (QLineEdit *field : {w.Text1[0], w.Text2[0]})
        field->setText(QStringLiteral("7"));
    for (QLineEdit *field : {w.Text1[1], w.Text2[1]})
        field->setText(QStringLiteral("8"));
    w.show();
    QTest::mouseClick(w.Command1, Qt::LeftButton);
}

// The banner that shows: the topmost widget in the middle of the banners' rectangle.
QWidget *FrontBanner(const frmFinish &f)
{
    return f.childAt(f.Label4[0]->geometry().center());
}

// Quizzes that end the program run with dialogs that only record the end.
ScriptedDialogs &UseScriptedDialogs(const QStringList &answers)
{
    auto dialogs = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs &script = *dialogs;
    script.answers = answers;
    mdMain::UseDialogs(std::move(dialogs));
    mdMain::Settings() = QuizSettings{kName, 7, 7, 8, 8, Operation::Multiplication};
    return script;
}

} // namespace

// The results window: whole runs from "Начать" to the results, its design, the diagnostic
// line, and the ways it ends the program.
class ResultsWindowTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { PrepareWindowsTest(m_configHome); }
    void cleanup()
    {
        mdMain::UseDialogs(std::make_unique<QtQuizDialogs>());
        mdMain::UseCalculatorProbe(std::make_unique<FakeCalculatorProbe>());
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void wholeRun_data();
    void wholeRun();
    void design();
    void diagnosticLineOnDoubleClick_data();
    void diagnosticLineOnDoubleClick();
    void emptyAnswerEndsTheProgramWithoutResults();
    void closingEndsTheProgram();

  private:
    QTemporaryDir m_configHome;
};

void ResultsWindowTest::wholeRun_data()
{
    QTest::addColumn<int>("right");
    QTest::addColumn<bool>("passed");
    QTest::addColumn<QString>("countText");

    QTest::newRow("12 right") << 12 << true << "Ты ответил правильно на все вопросы";
    QTest::newRow("10 right") << 10 << true << "Ты правильно ответил на 10 вопросов";
    QTest::newRow("9 right") << 9 << false << "Ты правильно ответил на 9 вопросов";
    QTest::newRow("0 right") << 0 << false << "Ты не ответил верно ни на один вопрос";
}

void ResultsWindowTest::wholeRun()
{
    QFETCH(int, right);
    QFETCH(bool, passed);
    QFETCH(QString, countText);

    frmStart w;
    ModalAnswerer pupil;
    pupil.answer = [right](int n) { return n <= right ? QStringLiteral("56") : "55 и чуть-чуть"; };
    int windowsShownWhileAsked = 0;
    pupil.whileAsked = [&] {
        windowsShownWhileAsked += w.isVisible() + w.finishWindow()->isVisible();
    };
    StartSevenTimesEight(w);

    // Twelve questions in Russian dialogs, each followed by its verdict, and no window while
    // they are asked.
    QCOMPARE(windowsShownWhileAsked, 0);
    QCOMPARE(pupil.seen.size(), 24);
    for (int i = 0; i < 12; ++i) {
        const ModalAnswerer::Seen &question = pupil.seen[2 * i];
        const ModalAnswerer::Seen &verdict = pupil.seen[2 * i + 1];
        QCOMPARE(question.title, QStringLiteral("Вопрос №%1").arg(i + 1));
        QCOMPARE(question.text, QStringLiteral("Сколько будет 7 умножить на 8?"));
        QCOMPARE(question.defaultText, QStringLiteral("0"));
        QCOMPARE(question.buttons, QStringList({"OK", "Отмена"}));
        const bool isRight = i < right;
        QCOMPARE(verdict.text, isRight ? "Правильно" : "Ошибка");
        QCOMPARE(verdict.title, isRight ? "Молодец" : "7·8=56");
        QCOMPARE(verdict.icon, isRight ? QMessageBox::Information : QMessageBox::Critical);
    }

    frmFinish *f = w.finishWindow();
    QVERIFY(f->isVisible() && !w.isVisible());
    QCOMPARE(f->Label1->text(), kName);
    QCOMPARE(f->Label3->text(), QStringLiteral("Всего было 12 вопросов"));
    QCOMPARE(f->Label2->text(), countText);
    QVERIFY(QRegularExpression(QStringLiteral("^Думал над решениями \\d+ секунд[уы]?$"))
                .match(f->Label5->text())
                .hasMatch());
    QCOMPARE(FrontBanner(*f), f->Label4[passed ? 0 : 1]);
}

void ResultsWindowTest::design()
{
    frmFinish f;
    QCOMPARE(f.windowTitle(), QStringLiteral("Посмотрим, как у тебя дела..."));
    QCOMPARE(f.size(),
             QSize(TwipsToPixels(4815, f.logicalDpiX()), TwipsToPixels(3015, f.logicalDpiY())));
    QCOMPARE(f.Label4[1]->geometry(), f.Label4[0]->geometry());

    // An icon every pixel of which is transparent, so that none shows.
    const QImage icon = f.windowIcon().pixmap(32, 32).toImage();
    QVERIFY(!icon.isNull());
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x)
            QCOMPARE(qAlpha(icon.pixel(x, y)), 0);
    }

    // Arial 18 pt bold for the name and the banners: Arial itself, or the metric-compatible
    // face fontconfig puts in its place. All text is centred.
    for (QLabel *label : {f.Label1, f.Label2, f.Label3, f.Label4[0], f.Label4[1], f.Label5}) {
        QCOMPARE(label->alignment(), Qt::AlignCenter);
        if (label == f.Label1 || label == f.Label4[0] || label == f.Label4[1]) {
            const QFontInfo info(label->font());
            QVERIFY2(info.family() == "Arial" || info.family() == "Liberation Sans",
                     qPrintable(info.family()));
            QVERIFY(info.bold() && label->font().pointSize() == 18);
        }
    }

    // Opaque banners in their own blues; the pass banner lies in front until a fail.
    QCOMPARE(f.Label4[0]->text(), QStringLiteral("Ты прошёл тест"));
    QCOMPARE(f.Label4[1]->text(), QStringLiteral("Ты не прошёл тест"));
    QVERIFY(f.Label4[0]->autoFillBackground() && f.Label4[1]->autoFillBackground());
    QCOMPARE(f.Label4[0]->palette().color(QPalette::WindowText), QColor(0, 0, 255));
    QCOMPARE(f.Label4[1]->palette().color(QPalette::WindowText), QColor(0, 0, 128));
    QCOMPARE(FrontBanner(f), f.Label4[0]);
}

void ResultsWindowTest::diagnosticLineOnDoubleClick_data()
{
    QTest::addColumn<bool>("difficult");
    QTest::addColumn<bool>("calculator");
    QTest::addColumn<QString>("line");

    QTest::newRow("easy, no calculator") << false << false << "· 7 7 8 8 ";
    QTest::newRow("easy, calculator") << false << true << "· 7 7 8 8 C";
    QTest::newRow("difficult, calculator") << true << true << "· 7 7 8 8 DC";
}

void ResultsWindowTest::diagnosticLineOnDoubleClick()
{
    QFETCH(bool, difficult);
    QFETCH(bool, calculator);
    QFETCH(QString, line);

    auto probe = std::make_unique<FakeCalculatorProbe>();
    probe->answers = {calculator};
    mdMain::UseCalculatorProbe(std::move(probe));
    frmStart w;
    ModalAnswerer pupil;
    pupil.answer = [](int) { return QStringLiteral("56"); };
    StartSevenTimesEight(w, difficult);
    frmFinish *f = w.finishWindow();

    // It may be asked for again and again; a double-click elsewhere shows nothing.
    pupil.seen.clear();
    QTest::mouseDClick(f->Label1, Qt::LeftButton);
    QTest::mouseDClick(f->Label1, Qt::LeftButton);
    QTest::mouseDClick(f->Label2, Qt::LeftButton);
    QCOMPARE(pupil.seen.size(), 2);
    for (const ModalAnswerer::Seen &box : pupil.seen) {
        QCOMPARE(box.text, line);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.title, QStringLiteral("Vorpa"));
    }
    QVERIFY(f->isVisible());
    QCOMPARE(f->Label1->text(), kName);
}

void ResultsWindowTest::emptyAnswerEndsTheProgramWithoutResults()
{
    ScriptedDialogs &script = UseScriptedDialogs({"56", "56", ""});
    QWidget start;
    start.show();
    frmFinish f(&start);
    QVERIFY(!f.loadAndShow());
    QVERIFY(script.ended);
    QCOMPARE(script.prompts.size(), 3);
    QVERIFY(!start.isVisible() && !f.isVisible());
}

void ResultsWindowTest::closingEndsTheProgram()
{
    ScriptedDialogs &script = UseScriptedDialogs(QStringList(12, QStringLiteral("56")));
    frmFinish f;
    QVERIFY(f.loadAndShow());
    QVERIFY(f.isVisible() && !script.ended);
    f.close();
    QVERIFY(script.ended);
}

QTEST_MAIN(ResultsWindowTest)
#include "tst_windows_finish.moc"
