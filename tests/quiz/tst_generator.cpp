#include "ExampleGenerator.h"
#include "Fakes.h"

#include <QTest>

#include <functional>
#include <limits>
#include <set>

Q_DECLARE_METATYPE(Operation)

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();
constexpr double kAlmostOne = 1.0 - 0x1.0p-53;

QuizSettings Ranges(Operation op, bool difficult, qint32 min1, qint32 max1, qint32 min2,
                    qint32 max2)
{
    QuizSettings s;
    s.Operation = op;
    s.Difficult = difficult;
    s.Min1 = min1;
    s.Max1 = max1;
    s.Min2 = min2;
    s.Max2 = max2;
    return s;
}

// A clock whose time is a function of the attempts made so far (two values drawn each).
class AttemptClock final : public Clock
{
  public:
    AttemptClock(const ScriptedRandom &random, std::function<double(size_t)> time)
        : m_random(random), m_time(std::move(time))
    {
    }
    double Seconds() override { return m_time(m_random.drawn() / 2); }

  private:
    const ScriptedRandom &m_random;
    std::function<double(size_t)> m_time;
};

} // namespace

class GeneratorTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void judgePair_data();
    void judgePair();
    void drawOperand_data();
    void drawOperand();
    void drawsFirstOperandBeforeSecond();
    void retriesUntilAPairPasses();
    void givesUpOnlyAfterMoreThanFiveSeconds();
    void givesUpWithinOneClockReadingOfTheLimit();
    void easyLogarithmAsksExactlyThePowers();
    void everyValueOfAFullRangeCanBeDrawn();
};

void GeneratorTest::judgePair_data()
{
    QTest::addColumn<Operation>("op");
    QTest::addColumn<bool>("difficult");
    QTest::addColumn<qint32>("a");
    QTest::addColumn<qint32>("b");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<qint32>("answer");

    const auto row = [](const char *name, Operation op, bool difficult, qint32 a, qint32 b,
                        bool accepted, qint32 answer = 0) {
        QTest::newRow(name) << op << difficult << a << b << accepted << answer;
    };
    using O = Operation;
    row("add easy 7+3", O::Addition, false, 7, 3, true, 10);
    row("add easy +0", O::Addition, false, 7, 0, true, 7);
    row("add difficult b=0", O::Addition, true, 7, 0, false);
    row("add difficult a=0", O::Addition, true, 0, 4, true, 4);
    row("add overflow", O::Addition, true, kMax, 1, false);
    row("add negative overflow", O::Addition, false, kMin, -1, false);
    row("add at limit", O::Addition, false, kMax - 1, 1, true, kMax);

    row("sub easy", O::Subtraction, false, 9, 4, true, 5);
    row("sub easy zero", O::Subtraction, false, 4, 4, true, 0);
    row("sub easy negative", O::Subtraction, false, 3, 4, false);
    row("sub difficult negative", O::Subtraction, true, 3, 4, true, -1);
    row("sub overflow", O::Subtraction, true, kMin, 1, false);
    row("sub easy huge", O::Subtraction, false, kMax, -1, false);

    row("mul easy zero", O::Multiplication, false, 0, 8, true, 0);
    row("mul difficult zero a", O::Multiplication, true, 0, 8, false);
    row("mul difficult zero b", O::Multiplication, true, 8, 0, false);
    row("mul 7x8", O::Multiplication, true, 7, 8, true, 56);
    row("mul overflow", O::Multiplication, false, 65536, 65536, false);
    row("mul min by -1", O::Multiplication, true, kMin, -1, false);

    row("div by zero easy", O::Division, false, 6, 0, false);
    row("div by zero difficult", O::Division, true, 6, 0, false);
    row("div easy exact", O::Division, false, 12, 4, true, 3);
    row("div easy inexact", O::Division, false, -7, 2, false);
    row("div difficult truncates", O::Division, true, -7, 2, true, -3);
    row("div min by -1", O::Division, true, kMin, -1, false);
    row("div min by -1 easy", O::Division, false, kMin, -1, false);

    row("rem by zero", O::Remainder, false, 7, 0, false);
    row("rem sign of a easy", O::Remainder, false, -7, 3, true, -1);
    row("rem sign of a difficult", O::Remainder, true, -7, 3, true, -1);
    row("rem negative divisor", O::Remainder, true, 7, -3, true, 1);
    row("rem by one easy", O::Remainder, false, 7, 1, true, 0);
    row("rem by one difficult", O::Remainder, true, 7, 1, false);
    row("rem min by -1", O::Remainder, true, kMin, -1, true, 0);

    row("pow negative exponent", O::Power, true, 2, -1, false);
    row("pow zero to zero", O::Power, true, 0, 0, false);
    row("pow easy negative base", O::Power, false, -2, 3, false);
    row("pow odd negative", O::Power, true, -2, 3, true, -8);
    row("pow even negative", O::Power, true, -2, 2, true, 4);
    row("pow zero base", O::Power, false, 0, 5, true, 0);
    row("pow zero exponent", O::Power, false, 5, 0, true, 1);
    row("pow 10^10 overflows", O::Power, false, 10, 10, false);
    row("pow 2^31 overflows", O::Power, false, 2, 31, false);
    row("pow -2^31 fits", O::Power, true, -2, 31, true, kMin);
    row("pow 2^30", O::Power, false, 2, 30, true, 1 << 30);
    row("pow one to huge", O::Power, false, 1, kMax, true, 1);
    row("pow minus one to huge odd", O::Power, true, -1, kMax, true, -1);
    row("pow min base", O::Power, true, kMin, 1, true, kMin);
    row("pow min base squared", O::Power, true, kMin, 2, false);

    row("log b below 1", O::Logarithm, true, 2, 0, false);
    row("log base below 2", O::Logarithm, true, 1, 8, false);
    row("log 2 of 8", O::Logarithm, false, 2, 8, true, 3);
    row("log 10 of 1000", O::Logarithm, false, 10, 1000, true, 3);
    row("log of 1", O::Logarithm, false, 7, 1, true, 0);
    row("log of base", O::Logarithm, false, 7, 7, true, 1);
    row("log easy inexact", O::Logarithm, false, 2, 9, false);
    row("log difficult floor", O::Logarithm, true, 2, 9, true, 3);
    row("log difficult below base", O::Logarithm, true, 10, 9, true, 0);
    row("log of max", O::Logarithm, true, 2, kMax, true, 30);
    row("log huge base", O::Logarithm, true, kMax, kMax, true, 1);
    row("log 2^30 exact", O::Logarithm, false, 2, 1 << 30, true, 30);
}

void GeneratorTest::judgePair()
{
    QFETCH(Operation, op);
    QFETCH(bool, difficult);
    QFETCH(qint32, a);
    QFETCH(qint32, b);
    QFETCH(bool, accepted);
    QFETCH(qint32, answer);

    const std::optional<qint32> result = JudgePair(op, difficult, a, b);
    QCOMPARE(result.has_value(), accepted);
    if (accepted)
        QCOMPARE(*result, answer);
}

void GeneratorTest::drawOperand_data()
{
    QTest::addColumn<double>("r");
    QTest::addColumn<qint32>("min");
    QTest::addColumn<qint32>("max");
    QTest::addColumn<qint32>("expected");

    QTest::newRow("low end") << 0.0 << 1 << 10 << 1;
    QTest::newRow("high end") << kAlmostOne << 1 << 10 << 10;
    QTest::newRow("middle") << 0.55 << 1 << 10 << 6;
    QTest::newRow("single value") << 0.9 << 7 << 7 << 7;
    QTest::newRow("empty range gives min") << 0.9 << 5 << 4 << 5;
    QTest::newRow("reversed range top") << 0.0 << 10 << 1 << 10;
    QTest::newRow("reversed range bottom") << kAlmostOne << 10 << 1 << 2;
    QTest::newRow("full range low") << 0.0 << kMin << kMax << kMin;
    QTest::newRow("full range high") << kAlmostOne << kMin << kMax << kMax;
    QTest::newRow("full range middle") << 0.5 << kMin << kMax << 0;
    QTest::newRow("reversed full range") << kAlmostOne << kMax << kMin << kMin + 1;
}

void GeneratorTest::drawOperand()
{
    QFETCH(double, r);
    QFETCH(qint32, min);
    QFETCH(qint32, max);
    QFETCH(qint32, expected);
    QCOMPARE(DrawOperand(r, min, max), expected);
}

void GeneratorTest::drawsFirstOperandBeforeSecond()
{
    ScriptedRandom random({0.0, kAlmostOne});
    FakeClock clock;
    const auto example =
        DrawExample(Ranges(Operation::Addition, false, 1, 10, 1, 10), random, clock);
    QVERIFY(example);
    QCOMPARE(example->FirstOperand, 1);
    QCOMPARE(example->SecondOperand, 10);
    QCOMPARE(example->Answer, 11);
}

void GeneratorTest::retriesUntilAPairPasses()
{
    // Easy subtraction: (1, 10) is negative and thrown away, then (10, 1) passes.
    ScriptedRandom random({0.0, kAlmostOne, kAlmostOne, 0.0});
    FakeClock clock;
    const auto example =
        DrawExample(Ranges(Operation::Subtraction, false, 1, 10, 1, 10), random, clock);
    QVERIFY(example);
    QCOMPARE(example->FirstOperand, 10);
    QCOMPARE(example->SecondOperand, 1);
    QCOMPARE(example->Answer, 9);
    QCOMPARE(random.drawn(), size_t(4));
}

void GeneratorTest::givesUpOnlyAfterMoreThanFiveSeconds()
{
    // 7 is never a multiple of 3, so easy division never finds a pair.
    const QuizSettings impossible = Ranges(Operation::Division, false, 7, 7, 3, 3);
    ScriptedRandom random({0.5});
    FakeClock clock;
    clock.setStepPerReading(0.001);
    QVERIFY(!DrawExample(impossible, random, clock));
    // The clock is read at the start and after every kAttemptsPerClockReading attempts, each
    // reading here 1 ms after the last: the limit is passed at about the 5001st reading.
    const double readings = static_cast<double>(random.drawn()) / 2.0 / kAttemptsPerClockReading;
    QVERIFY2(readings >= 4999 && readings <= 5002, qPrintable(QString::number(readings)));

    // The same ranges with addition always give 7 + 3.
    ScriptedRandom again({0.3, 0.8});
    const auto sum = DrawExample(Ranges(Operation::Addition, false, 7, 7, 3, 3), again, clock);
    QVERIFY(sum);
    QCOMPARE(sum->Answer, 10);

    // Division by a zero-only range gives up too.
    QVERIFY(!DrawExample(Ranges(Operation::Division, true, 1, 10, 0, 0), random, clock));
}

void GeneratorTest::givesUpWithinOneClockReadingOfTheLimit()
{
    // Time follows the attempts made: exactly 5 s from attempt 10000 on, just over from 20000.
    ScriptedRandom random({0.5});
    AttemptClock clock(random, [](size_t attempts) {
        return attempts < 10000 ? 0.0 : attempts < 20000 ? kGiveUpSeconds : kGiveUpSeconds + 1e-6;
    });
    QVERIFY(!DrawExample(Ranges(Operation::Division, false, 7, 7, 3, 3), random, clock));
    const size_t attempts = random.drawn() / 2;
    QVERIFY2(attempts >= 20000 && attempts <= 20000 + size_t(kAttemptsPerClockReading),
             qPrintable(QString::number(attempts)));
}

void GeneratorTest::easyLogarithmAsksExactlyThePowers()
{
    std::set<std::pair<qint32, qint32>> accepted;
    for (qint32 a = 1; a <= 10; ++a)
        for (qint32 b = 1; b <= 10; ++b)
            if (JudgePair(Operation::Logarithm, false, a, b))
                accepted.insert({a, b});

    std::set<std::pair<qint32, qint32>> expected{{2, 4}, {2, 8}, {3, 9}};
    for (qint32 a = 2; a <= 10; ++a) {
        expected.insert({a, 1});
        expected.insert({a, a});
    }
    QCOMPARE(accepted.size(), size_t(21));
    QVERIFY(accepted == expected);
}

void GeneratorTest::everyValueOfAFullRangeCanBeDrawn()
{
    // With 53-bit random values, neighbouring values at the top of the 32-bit range are
    // reachable.
    const double step = 1.0 / 4294967296.0;
    QCOMPARE(DrawOperand(1.0 - step, kMin, kMax), kMax);
    QCOMPARE(DrawOperand(1.0 - 2 * step, kMin, kMax), kMax - 1);
    QCOMPARE(DrawOperand(step, kMin, kMax), kMin + 1);

    Xoshiro256 random(42);
    for (int i = 0; i < 100000; ++i) {
        const double r = random.NextUniform();
        QVERIFY(r >= 0.0 && r < 1.0);
    }
}

QTEST_GUILESS_MAIN(GeneratorTest)
#include "tst_generator.moc"
