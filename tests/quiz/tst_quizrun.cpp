#include "Fakes.h"
#include "QuizRun.h"

#include <QTest>

namespace {

QuizSettings Fixed(Operation op, qint32 a, qint32 b)
{
    QuizSettings s;
    s.StudentName = QStringLiteral("Петя");
    s.Operation = op;
    s.Min1 = s.Max1 = a;
    s.Min2 = s.Max2 = b;
    return s;
}

// A run with a scripted random source, a fake clock and a fake calculator probe.
struct Harness
{
    ScriptedRandom random{{0.5}};
    FakeClock clock;
    FakeCalculatorProbe calculator;
    ScriptedDialogs dialogs;

    std::optional<QuizOutcome> run(QuizSettings &settings)
    {
        return RunQuiz(settings, QuizServices{dialogs, random, clock, calculator});
    }
};

} // namespace

class QuizRunTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void twelveRightAnswers();
    void nineRightAnswers();
    void verdictTitlesCarryTheCorrectedEquation();
    void cancelOnThirdQuestionEndsTheProgram();
    void generatorGivingUpEndsTheProgram();
    void thinkingTimeCountsOnlyOpenInputDialogs();
    void calculatorFlagIsStickyAndSampledTwicePerQuestion();
    void calculatorOpenBetweenSamplesIsMissed();
    void answerTooLargeIsWrong();
};

void QuizRunTest::twelveRightAnswers()
{
    Harness h;
    QuizSettings settings = Fixed(Operation::Multiplication, 7, 8);
    h.dialogs.answers = QStringList(12, QStringLiteral("56"));

    const auto outcome = h.run(settings);
    QVERIFY(outcome);
    QCOMPARE(outcome->CorrectCount, 12);
    QVERIFY(!h.dialogs.ended);
    QCOMPARE(h.dialogs.prompts.size(), 12);
    QCOMPARE(h.dialogs.prompts.first(), QStringLiteral("Сколько будет 7 умножить на 8?"));
    QCOMPARE(h.dialogs.titles.first(), QStringLiteral("Вопрос №1"));
    QCOMPARE(h.dialogs.titles.last(), QStringLiteral("Вопрос №12"));
    QCOMPARE(h.dialogs.defaults, QStringList(12, QStringLiteral("0")));
    QCOMPARE(h.dialogs.messages.size(), size_t(12));
    for (const auto &message : h.dialogs.messages) {
        QCOMPARE(message.text, QStringLiteral("Правильно"));
        QCOMPARE(message.icon, MessageIcon::Information);
        QCOMPARE(message.title, std::optional<QString>(QStringLiteral("Молодец")));
    }
}

void QuizRunTest::nineRightAnswers()
{
    Harness h;
    QuizSettings settings = Fixed(Operation::Subtraction, 3, 5);
    settings.Difficult = true;
    // Difficult subtraction expects a negative answer; the pre-filled 0 and junk are wrong.
    h.dialogs.answers = QStringList(9, QStringLiteral(" -2"));
    h.dialogs.answers << QStringLiteral("0") << QStringLiteral("2") << QStringLiteral("минус 2");

    const auto outcome = h.run(settings);
    QVERIFY(outcome);
    QCOMPARE(outcome->CorrectCount, 9);
    int errors = 0;
    for (const auto &message : h.dialogs.messages) {
        if (message.icon == MessageIcon::Error) {
            ++errors;
            QCOMPARE(message.text, QStringLiteral("Ошибка"));
            QCOMPARE(message.title, std::optional<QString>(QStringLiteral("3-5=-2")));
        }
    }
    QCOMPARE(errors, 3);
}

void QuizRunTest::verdictTitlesCarryTheCorrectedEquation()
{
    const struct
    {
        Operation op;
        qint32 a;
        qint32 b;
        QString title;
    } cases[] = {
        {Operation::Multiplication, 7, 8, QStringLiteral("7\u00B78=56")},
        {Operation::Logarithm, 2, 8, QStringLiteral("log(2,8)=3")},
        {Operation::Power, 2, 10, QStringLiteral("2^10=1024")},
        {Operation::Division, 12, 4, QStringLiteral("12:4=3")},
    };
    for (const auto &c : cases) {
        Harness h;
        QuizSettings settings = Fixed(c.op, c.a, c.b);
        h.dialogs.answers = QStringList(12, QStringLiteral("abc"));
        const auto outcome = h.run(settings);
        QVERIFY(outcome);
        QCOMPARE(outcome->CorrectCount, 0);
        QCOMPARE(h.dialogs.messages.front().title, std::optional<QString>(c.title));
    }
}

void QuizRunTest::cancelOnThirdQuestionEndsTheProgram()
{
    Harness h;
    QuizSettings settings = Fixed(Operation::Addition, 2, 2);
    h.dialogs.answers = {QStringLiteral("4"), QStringLiteral("5"), QString()};

    QVERIFY(!h.run(settings));
    QVERIFY(h.dialogs.ended);
    QCOMPARE(h.dialogs.prompts.size(), 3);
    // Two verdicts, then the farewell naming the pupil.
    QCOMPARE(h.dialogs.messages.size(), size_t(3));
    const auto &last = h.dialogs.messages.back();
    QCOMPARE(last.text, QStringLiteral("Петя, ты не прошёл тест"));
    QCOMPARE(last.icon, MessageIcon::Warning);
    QCOMPARE(last.title, std::optional<QString>(QString()));
}

void QuizRunTest::generatorGivingUpEndsTheProgram()
{
    Harness h;
    h.clock.setStepPerReading(0.01);
    QuizSettings settings = Fixed(Operation::Division, 7, 0);

    QVERIFY(!h.run(settings));
    QVERIFY(h.dialogs.ended);
    QVERIFY(h.dialogs.prompts.isEmpty());
    QCOMPARE(h.dialogs.messages.size(), size_t(1));
    QCOMPARE(h.dialogs.messages.front().text, QStringLiteral("Не могу придумать примеры"));
    QCOMPARE(h.dialogs.messages.front().icon, MessageIcon::Warning);
    QCOMPARE(h.dialogs.messages.front().title, std::optional<QString>(QString()));
}

void QuizRunTest::thinkingTimeCountsOnlyOpenInputDialogs()
{
    Harness h;
    QuizSettings settings = Fixed(Operation::Addition, 1, 1);
    h.dialogs.answers = QStringList(12, QStringLiteral("2"));
    h.dialogs.whileAsking = [&] { h.clock.advance(2.5); };
    h.dialogs.whileShowing = [&] { h.clock.advance(100.0); };

    const auto outcome = h.run(settings);
    QVERIFY(outcome);
    QCOMPARE(outcome->ThinkingSeconds, 30.0);
}

void QuizRunTest::calculatorFlagIsStickyAndSampledTwicePerQuestion()
{
    Harness h;
    QuizSettings settings = Fixed(Operation::Addition, 1, 1);
    h.dialogs.answers = QStringList(12, QStringLiteral("2"));
    // Seen once, after the first question, then closed for good.
    h.calculator.answers = {false, true, false};

    QVERIFY(h.run(settings));
    QVERIFY(settings.CalculatorSeen);
    QCOMPARE(h.calculator.calls, 24);
}

void QuizRunTest::calculatorOpenBetweenSamplesIsMissed()
{
    Harness h;
    QuizSettings settings = Fixed(Operation::Addition, 1, 1);
    h.dialogs.answers = QStringList(12, QStringLiteral("2"));

    QVERIFY(h.run(settings));
    QVERIFY(!settings.CalculatorSeen);
}

void QuizRunTest::answerTooLargeIsWrong()
{
    Harness h;
    QuizSettings settings = Fixed(Operation::Addition, 0, 0);
    // 2^32 would wrap to the right answer 0 if it were truncated to 32 bits.
    h.dialogs.answers = QStringList(12, QStringLiteral("4294967296"));

    const auto outcome = h.run(settings);
    QVERIFY(outcome);
    QCOMPARE(outcome->CorrectCount, 0);
    QCOMPARE(h.dialogs.messages.front().title, std::optional<QString>(QStringLiteral("0+0=0")));
}

QTEST_GUILESS_MAIN(QuizRunTest)
#include "tst_quizrun.moc"
