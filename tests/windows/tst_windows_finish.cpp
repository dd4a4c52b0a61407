#include "ModalAnswerer.h"
#include "QtQuizDialogs.h"
#include "ResultSummary.h"
#include "StoreForTests.h"
#include "Twips.h"
#include "frmFinish.h"
#include "frmStart.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
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
    w.Text1[0]->setText(QStringLiteral("7"));
    w.Text2[0]->setText(QStringLiteral("7"));
    w.Text1[1]->setText(QStringLiteral("8"));
    w.Text2[1]->setText(QStringLiteral("8"));
    w.Check1->setChecked(difficult);
    w.show();
    QTest::mouseClick(w.Command1, Qt::LeftButton);
}

// The banner that shows: the topmost widget in the middle of the banners' rectangle.
QWidget *FrontBanner(const frmFinish &f)
{
    return f.childAt(f.Label4[0]->geometry().center());
}

} // namespace

// The results window: the whole run from "Начать" to the results, the banners, the diagnostic
// line, and the ways the window ends the program.
class ResultsWindowTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { PrepareWindowsTest(m_configHome); }
    void init() { mdMain::UseCalculatorProbe(std::make_unique<FakeCalculatorProbe>()); }
    void cleanup();

    void wholeRun_data();
    void wholeRun();
    void thinkingTimeIsAddedToItsLine();
    void designOfTheWindow();
    void diagnosticLineOnDoubleClick_data();
    void diagnosticLineOnDoubleClick();
    void emptyAnswerEndsTheProgramWithoutResults();
    void closingEndsTheProgram();

  private:
    QTemporaryDir m_configHome;
};

void ResultsWindowTest::cleanup()
{
    mdMain::UseDialogs(std::make_unique<QtQuizDialogs>());
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

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
    // The first answers are right, the rest wrong; a wrong one may be anything.
    pupil.answer = [right](int n, const QString &) {
        return n <= right ? QStringLiteral("56") : QStringLiteral("55 и ещё чуть-чуть");
    };
    int shownDuringQuestions = 0;
    pupil.whileAsked = [&] {
        if (w.isVisible() || (w.finishWindow() && w.finishWindow()->isVisible()))
            ++shownDuringQuestions;
    };
    StartSevenTimesEight(w);

    // Twelve questions, each followed by its verdict, and no window while they are asked.
    QCOMPARE(shownDuringQuestions, 0);
    QCOMPARE(pupil.seen.size(), 24);
    for (int i = 0; i < 12; ++i) {
        const ModalAnswerer::Seen &question = pupil.seen[2 * i];
        const ModalAnswerer::Seen &verdict = pupil.seen[2 * i + 1];
        QVERIFY(question.question);
        QCOMPARE(question.title, QStringLiteral("Вопрос №%1").arg(i + 1));
        QCOMPARE(question.text, QStringLiteral("Сколько будет 7 умножить на 8?"));
        QCOMPARE(question.defaultText, QStringLiteral("0"));
        QCOMPARE(question.buttons, QStringList({"OK", "Отмена"}));
        QVERIFY(!verdict.question);
        if (i < right) {
            QCOMPARE(verdict.text, QStringLiteral("Правильно"));
            QCOMPARE(verdict.title, QStringLiteral("Молодец"));
            QCOMPARE(verdict.icon, QMessageBox::Information);
        } else {
            QCOMPARE(verdict.text, QStringLiteral("Ошибка"));
            QCOMPARE(verdict.title, QStringLiteral("7·8=56"));
            QCOMPARE(verdict.icon, QMessageBox::Critical);
        }
    }

    frmFinish *f = w.finishWindow();
    QVERIFY(f && f->isVisible());
    QVERIFY(!w.isVisible());
    QCOMPARE(f->Label1->text(), kName);
    QCOMPARE(f->Label3->text(), QStringLiteral("Всего было 12 вопросов"));
    QCOMPARE(f->Label2->text(), countText);
    QVERIFY(QRegularExpression(QStringLiteral("^Думал над решениями \\d+ секунд[уы]?$"))
                .match(f->Label5->text())
                .hasMatch());
    QCOMPARE(FrontBanner(*f), passed ? f->Label4[0] : f->Label4[1]);
}

void ResultsWindowTest::thinkingTimeIsAddedToItsLine()
{
    frmStart w;
    ModalAnswerer pupil;
    pupil.answer = [](int, const QString &) { return QStringLiteral("56"); };
    pupil.questionDelayMs = 200; // twelve questions open for at least 2.4 s together
    QElapsedTimer wall;
    wall.start();
    StartSevenTimesEight(w);
    const double wallSeconds = wall.elapsed() / 1000.0;

    const QString line = w.finishWindow()->Label5->text();
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Думал над решениями (\\d+) ")).match(line);
    QVERIFY2(m.hasMatch(), qPrintable(line));
    const int seconds = m.captured(1).toInt();
    QVERIFY2(seconds >= 2 && seconds <= wallSeconds, qPrintable(line));
    QCOMPARE(line, QStringLiteral("Думал над решениями ") + FormatThinkingTime(seconds));
}

void ResultsWindowTest::designOfTheWindow()
{
    frmFinish f;
    const qreal dpiX = f.logicalDpiX();
    const qreal dpiY = f.logicalDpiY();
    QCOMPARE(f.windowTitle(), QStringLiteral("Посмотрим, как у тебя дела..."));
    QCOMPARE(f.size(), QSize(TwipsToPixels(4815, dpiX), TwipsToPixels(3015, dpiY)));

    // The window's icon is there, but every pixel of it is transparent.
    const QImage icon = f.windowIcon().pixmap(32, 32).toImage();
    QVERIFY(!icon.isNull());
    for (int y = 0; y < icon.height(); ++y) {
        for (int x = 0; x < icon.width(); ++x)
            QCOMPARE(qAlpha(icon.pixel(x, y)), 0);
    }

    struct Control
    {
        QLabel *label;
        QString caption;
        QList<int> twips;
        bool large;
    };
    const QList<Control> table = {
        {f.Label3, "Всего было 12 вопросов", {120, 840, 4575, 255}, false},
        {f.Label2, "Ты ответил правильно на все вопросы", {120, 1320, 4575, 255}, false},
        {f.Label5, "Думал над решениями ", {120, 1680, 4575, 255}, false},
        {f.Label4[0], "Ты прошёл тест", {240, 2160, 4335, 735}, true},
        {f.Label4[1], "Ты не прошёл тест", {240, 2160, 4335, 735}, true},
        {f.Label1, f.Label1->text(), {240, 240, 4335, 495}, true},
    };
    for (const Control &c : table) {
        QCOMPARE(c.label->text(), c.caption);
        const QList<int> &t = c.twips;
        QCOMPARE(c.label->geometry(), TwipsToRect(t[0], t[1], t[2], t[3], dpiX, dpiY));
        QCOMPARE(c.label->alignment(), Qt::AlignCenter);
        if (c.large) {
            // Arial itself, or the metric-compatible face fontconfig puts in its place.
            const QFontInfo info(c.label->font());
            QVERIFY2(QStringList({"Arial", "Liberation Sans"}).contains(info.family()),
                     qPrintable(info.family()));
            QCOMPARE(c.label->font().pointSize(), 18);
            QVERIFY(info.bold());
        } else {
            QCOMPARE(c.label->font(), f.font());
        }
    }

    // Opaque banners in their own blues; the pass banner lies in front at first.
    QVERIFY(f.Label4[0]->autoFillBackground());
    QVERIFY(f.Label4[1]->autoFillBackground());
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
    pupil.answer = [](int, const QString &) { return QStringLiteral("56"); };
    StartSevenTimesEight(w, difficult);
    frmFinish *f = w.finishWindow();
    QVERIFY(f && f->isVisible());
    const QString countBefore = f->Label2->text();

    // It may be asked for again and again; nothing on the window changes.
    pupil.seen.clear();
    QTest::mouseDClick(f->Label1, Qt::LeftButton);
    QTest::mouseDClick(f->Label1, Qt::LeftButton);
    QCOMPARE(pupil.seen.size(), 2);
    for (const ModalAnswerer::Seen &box : pupil.seen) {
        QCOMPARE(box.text, line);
        QCOMPARE(box.icon, QMessageBox::NoIcon);
        QCOMPARE(box.title, QStringLiteral("Vorpa"));
    }
    QCOMPARE(f->Label1->text(), kName);
    QCOMPARE(f->Label2->text(), countBefore);
    QVERIFY(f->isVisible());

    // A double-click elsewhere on the window shows nothing.
    QTest::mouseDClick(f->Label2, Qt::LeftButton);
    QCOMPARE(pupil.seen.size(), 2);
}

// The ends of the program go through the dialogs' EndProgram, which a test double records.
void ResultsWindowTest::emptyAnswerEndsTheProgramWithoutResults()
{
    auto dialogs = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs *script = dialogs.get();
    script->answers = {QStringLiteral("56"), QStringLiteral("56"), QString()};
    mdMain::UseDialogs(std::move(dialogs));
    mdMain::Settings() = QuizSettings{kName, 7, 7, 8, 8, Operation::Multiplication};

    QWidget start;
    start.show();
    frmFinish f(&start);
    QVERIFY(!f.loadAndShow());
    QVERIFY(script->ended);
    QCOMPARE(script->prompts.size(), 3);
    QVERIFY(!start.isVisible());
    QVERIFY(!f.isVisible());
}

void ResultsWindowTest::closingEndsTheProgram()
{
    auto dialogs = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs *script = dialogs.get();
    script->answers = QStringList(12, QStringLiteral("56"));
    mdMain::UseDialogs(std::move(dialogs));
    mdMain::Settings() = QuizSettings{kName, 7, 7, 8, 8, Operation::Multiplication};

    frmFinish f;
    QVERIFY(f.loadAndShow());
    QVERIFY(f.isVisible());
    QVERIFY(!script->ended);
    f.close();
    QVERIFY(script->ended);
}

QTEST_MAIN(ResultsWindowTest)
#include "tst_windows_finish.moc"
