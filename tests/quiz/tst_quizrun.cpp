#include "Fakes.h"
#include "QuizRun.h"
#include "mdMain.h"

#include <QTest>

#include <chrono>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

const QString kRight = u"Information|Молодец|Правильно"_s;

// A question and its answer: none for OK on the pre-filled text, and the corrected equation
// expected, none where the answer is right.
struct Verdict
{
    Operation op;
    qint32 a, b;
    QString answer, equation;
};

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

Q_DECLARE_METATYPE(Verdict)

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

    // OK on the pre-filled "0" (no answer in the row) is the answer 0, right for every operation
    // where 0 is expected; answers wrong in different ways give every operation's corrected
    // equation.
    void verdicts_data()
    {
        QTest::addColumn<Verdict>("verdict");
        using O = Operation;
        // clang-format off
        for (const Verdict &v : {Verdict{O::Addition, 0, 0}, {O::Subtraction, 5, 5},
                 {O::Multiplication, 0, 9}, {O::Division, 0, 7}, {O::Remainder, 6, 3},
                 {O::Power, 0, 5}, {O::Logarithm, 2, 1}, {O::Addition, 3, 5, u"-1"_s, u"3+5=8"_s},
                 {O::Subtraction, 9, 4, u"три"_s, u"9-4=5"_s},
                 // 4294967352 would wrap round to the right answer if it were cut to 32 bits.
                 {O::Multiplication, 7, 8, u"4294967352"_s, u"7·8=56"_s},
                 {O::Division, 12, 4, u"2.5"_s, u"12:4=3"_s}, {O::Remainder, 7, 3, u"0"_s, u"7%3=1"_s},
                 {O::Power, 2, 5, u"-32"_s, u"2^5=32"_s}, {O::Logarithm, 2, 8, u"2"_s, u"log(2,8)=3"_s}})
            // clang-format on
            QTest::addRow("%c %d %d %s", "+-*:%^L"[int(v.op)], v.a, v.b,
                          v.answer.isNull() ? "pre-filled" : qPrintable(v.answer))
                << v;
    }
    void verdicts()
    {
        QFETCH(Verdict, verdict);
        const auto &[op, a, b, answer, equation] = verdict;
        Harness h(op, a, b, answer.isNull() ? QStringList() : QStringList(12, answer));
        QCOMPARE(h.run().value_or(QuizOutcome{-1}).CorrectCount, equation.isEmpty() ? 12 : 0);
        QCOMPARE(
            h.dialogs.messages,
            QStringList(12, equation.isEmpty() ? kRight : u"Error|"_s + equation + u"|Ошибка"_s));
        QVERIFY(!h.settings.CalculatorSeen);
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

    // Cancel gives no text, and neither does OK on a cleared field: both end the program.
    void emptyAnswerEndsTheProgram_data()
    {
        QTest::addColumn<QString>("third");
        QTest::addRow("cancel") << QString();
        QTest::addRow("cleared field") << u""_s;
    }
    void emptyAnswerEndsTheProgram()
    {
        QFETCH(QString, third);
        Harness h(Operation::Addition, 2, 2, {u"4"_s, u"5"_s, third});
        QVERIFY(!h.run() && h.dialogs.ended);
        QCOMPARE(h.dialogs.messages, QStringList({kRight, u"Error|2+2=4|Ошибка"_s,
                                                  u"Warning||Петя, ты не прошёл тест"_s}));
    }

    // So does a generator that finds no example (7 : 0 never is one).
    void noExampleEndsTheProgram()
    {
        Harness h(Operation::Division, 7, 0, {});
        QVERIFY(!h.run() && h.dialogs.ended && h.dialogs.prompts.isEmpty());
        QCOMPARE(h.dialogs.messages, QStringList(u"Warning||Не могу придумать примеры"_s));
    }
};

QTEST_GUILESS_MAIN(QuizRunTest)
#include "tst_quizrun.moc"
