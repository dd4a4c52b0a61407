#include "Fakes.h"
#include "QuizRun.h"
#include "mdMain.h"

#include <QTest>

#include <chrono>
#include <thread>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

const QString kRight = u"Information|Молодец|Правильно"_s;

// Twelve questions on the operands a and b, answered from the script.
struct Harness
{
    QuizSettings settings;
    ScriptedRandom random{{0.5}};
    FakeClock clock;
    FakeCalculatorProbe calculator;
    ScriptedDialogs dialogs;

    Harness(Operation op, qint32 a, qint32 b, QStringList answers)
        : settings{u"Петя"_s, a, a, b, b, op}
    {
        dialogs.answers = std::move(answers);
    }
    auto run() { return RunQuiz(settings, {dialogs, random, clock, calculator}); }
};

} // namespace

class QuizRunTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void twelveRightAnswers()
    {
        Harness h(Operation::Multiplication, 7, 8, QStringList(12, u"56"_s));
        // Only the questions count as thinking time (one clock step each), not verdicts or probes.
        h.dialogs.whileAsking = [&] { h.clock.now += 2.5; };
        h.dialogs.whileShowing = [&] { h.clock.now += 100.0; };
        h.calculator.whileProbing = [&] { h.clock.now += 1000.0; };
        // The calculator is seen once, after the first answer, and the flag stays set.
        h.calculator.answers = {false, true, false};
        const auto outcome = h.run();
        QVERIFY(outcome && !h.dialogs.ended);
        QCOMPARE(outcome->CorrectCount, 12);
        QCOMPARE(outcome->ThinkingSeconds, 12 * (2.5 + 0.01));
        QCOMPARE(h.dialogs.prompts, QStringList(12, u"Сколько будет 7 умножить на 8?"_s));
        QCOMPARE(h.dialogs.titles.first() + h.dialogs.titles.last(), u"Вопрос №1Вопрос №12"_s);
        QCOMPARE(h.dialogs.defaults, QStringList(12, u"0"_s));
        QCOMPARE(h.dialogs.messages, QStringList(12, kRight));
        QVERIFY(h.settings.CalculatorSeen);
        QCOMPARE(h.calculator.calls, 24);
    }

    // OK on the pre-filled "0" is the answer 0, right for every operation where 0 is expected.
    void prefilledZeroIsAnAnswer()
    {
        using O = Operation;
        const std::tuple<Operation, qint32, qint32> cases[] = {
            {O::Addition, 0, 0},  {O::Subtraction, 5, 5}, {O::Multiplication, 0, 9},
            {O::Division, 0, 7},  {O::Remainder, 6, 3},   {O::Power, 0, 5},
            {O::Logarithm, 2, 1},
        };
        for (const auto &[op, a, b] : cases) {
            Harness h(op, a, b, {});
            QCOMPARE(h.run().value_or(QuizOutcome{-1}).CorrectCount, 12);
            QCOMPARE(h.dialogs.messages, QStringList(12, kRight));
        }
    }

    // Each quiz seeds its generator from the time it starts: quizzes started one after another,
    // as soon as the clock has moved on, ask different first questions.
    void eachQuizAsksItsOwnQuestions()
    {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        const QStringList &prompts = dialogs->prompts;
        dialogs->answers = QStringList(5, QString()); // Cancel at the first question
        mdMain::UseDialogs(std::move(dialogs));
        mdMain::UseCalculatorProbe(std::make_unique<FakeCalculatorProbe>());
        mdMain::Settings() = {u"Петя"_s, 1, 1000000000, 1, 1000000000, Operation::Addition};
        for (int quiz = 0; quiz < 5; ++quiz) {
            const auto started = std::chrono::system_clock::now();
            QVERIFY(!mdMain::RunQuiz());
            // The next quiz waits for the time of day to move on, also where it ticks coarsely.
            while (std::chrono::system_clock::now() == started)
                std::this_thread::yield();
        }
        QCOMPARE(QSet<QString>(prompts.cbegin(), prompts.cend()).size(), 5);
    }

    // Every operation's corrected equation, after answers that are wrong in different ways.
    void wrongAnswersShowTheCorrectedEquation()
    {
        using O = Operation;
        const std::tuple<Operation, qint32, qint32, QString, QString> cases[] = {
            {O::Addition, 3, 5, u"-1"_s, u"3+5=8"_s},
            {O::Subtraction, 9, 4, u"три"_s, u"9-4=5"_s},
            // 4294967352 would wrap round to the right answer if it were cut to 32 bits.
            {O::Multiplication, 7, 8, u"4294967352"_s, u"7·8=56"_s},
            {O::Division, 12, 4, u"2.5"_s, u"12:4=3"_s},
            {O::Remainder, 7, 3, u"0"_s, u"7%3=1"_s},
            {O::Power, 2, 5, u"-32"_s, u"2^5=32"_s},
            {O::Logarithm, 2, 8, u"2"_s, u"log(2,8)=3"_s},
        };
        for (const auto &[op, a, b, answer, equation] : cases) {
            Harness h(op, a, b, QStringList(12, answer));
            QCOMPARE(h.run().value_or(QuizOutcome{-1}).CorrectCount, 0);
            QCOMPARE(h.dialogs.messages, QStringList(12, u"Error|"_s + equation + u"|Ошибка"_s));
            QVERIFY(!h.settings.CalculatorSeen);
        }
    }

    // Cancel gives no text, and neither does OK on a cleared field: both end the program, as
    // does a generator that finds no example (7 : 0 never is one).
    void emptyAnswerOrNoExampleEndsTheProgram()
    {
        for (const QString &empty : {QString(), QStringLiteral("")}) {
            Harness h(Operation::Addition, 2, 2, {u"4"_s, u"5"_s, empty});
            QVERIFY(!h.run() && h.dialogs.ended);
            QCOMPARE(h.dialogs.messages, QStringList({kRight, u"Error|2+2=4|Ошибка"_s,
                                                      u"Warning||Петя, ты не прошёл тест"_s}));
        }
        Harness h(Operation::Division, 7, 0, {});
        QVERIFY(!h.run() && h.dialogs.ended && h.dialogs.prompts.isEmpty());
        QCOMPARE(h.dialogs.messages, QStringList(u"Warning||Не могу придумать примеры"_s));
    }
};

QTEST_GUILESS_MAIN(QuizRunTest)
#include "tst_quizrun.moc"
