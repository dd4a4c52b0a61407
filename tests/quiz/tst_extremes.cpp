// The generator against a slow reference written straight from the rules, on small and extreme
// operands; the sanitizer build runs it too.

#include "ExampleGenerator.h"
#include "Fakes.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <vector>

Q_DECLARE_METATYPE(Operation)
Q_DECLARE_METATYPE(QuizSettings)

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();

std::optional<qint32> Fits(qint64 value)
{
    if (value < kMin || value > kMax)
        return std::nullopt;
    return static_cast<qint32>(value);
}

// The rules one test after another, in 64-bit arithmetic, powers and logarithms by repeated
// multiplication.
std::optional<qint32> ReferenceJudge(Operation op, bool difficult, qint64 a, qint64 b)
{
    switch (op) {
    case Operation::Addition:
        if (difficult && b == 0)
            return std::nullopt;
        return Fits(a + b);
    case Operation::Subtraction:
        if (!difficult && a - b < 0)
            return std::nullopt;
        return Fits(a - b);
    case Operation::Multiplication:
        if (difficult && (a == 0 || b == 0))
            return std::nullopt;
        return Fits(a * b);
    case Operation::Division:
        if (b == 0)
            return std::nullopt;
        if (!difficult && a % b != 0)
            return std::nullopt;
        return Fits(a / b);
    case Operation::Remainder:
        if (b == 0)
            return std::nullopt;
        if (difficult && b == 1)
            return std::nullopt;
        return Fits(a % b);
    case Operation::Power: {
        if (b < 0)
            return std::nullopt;
        if (a == 0 && b == 0)
            return std::nullopt;
        if (!difficult && a < 0)
            return std::nullopt;
        const qint64 base = a < 0 ? -a : a;
        qint64 magnitude = 1;
        if (base == 0)
            magnitude = 0;
        else if (base > 1)
            for (qint64 i = 0; i < b && magnitude <= kMax + qint64(1); ++i)
                magnitude *= base;
        return Fits(a < 0 && b % 2 != 0 ? -magnitude : magnitude);
    }
    case Operation::Logarithm: {
        if (b < 1)
            return std::nullopt;
        if (a < 2)
            return std::nullopt;
        qint32 k = 0;
        qint64 power = 1;
        while (power * a <= b) {
            power *= a;
            ++k;
        }
        if (!difficult && power != b)
            return std::nullopt;
        return k;
    }
    }
    return std::nullopt;
}

qint32 ReferenceOperand(double r, qint32 min, qint32 max)
{
    return static_cast<qint32>(std::floor(r * static_cast<double>(qint64(max) - min + 1)) + min);
}

// The generator with a count of attempts in place of the clock.
std::optional<Example> ReferenceDraw(const QuizSettings &s, RandomSource &random, int attempts)
{
    for (int i = 0; i < attempts; ++i) {
        const qint32 a = ReferenceOperand(random.NextUniform(), s.Min1, s.Max1);
        const qint32 b = ReferenceOperand(random.NextUniform(), s.Min2, s.Max2);
        if (const auto answer = ReferenceJudge(s.Operation, s.Difficult, a, b))
            return Example{a, b, *answer};
    }
    return std::nullopt;
}

// The program's random source behind the interface only, so that the generator cannot tell it
// is one.
class Hidden final : public RandomSource
{
  public:
    explicit Hidden(quint64 seed) : m_random(seed) {}
    double NextUniform() override { return m_random.NextUniform(); }

  private:
    Xoshiro256 m_random;
};

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

QByteArray Describe(const std::optional<Example> &e)
{
    if (!e)
        return "gave up";
    return QByteArray::number(e->FirstOperand) + ", " + QByteArray::number(e->SecondOperand) +
           " -> " + QByteArray::number(e->Answer);
}

// Small values, values around the points where sums, products and powers leave 32 bits, and the
// ends of the range.
std::vector<qint32> GridValues()
{
    std::vector<qint32> values;
    for (qint32 v = -12; v <= 12; ++v)
        values.push_back(v);
    for (qint32 v :
         {16,   27,    31,    32,    33,    64,    100,     243,           1000,     1024, 1291,
          1292, 46340, 46341, 65535, 65536, 65537, 1 << 30, (1 << 30) + 1, kMax - 1, kMax}) {
        values.push_back(v);
        values.push_back(-v);
    }
    values.push_back(kMin);
    values.push_back(kMin + 1);
    return values;
}

} // namespace

class ExtremesTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void rulesMatchTheReference_data();
    void rulesMatchTheReference();
    void logarithmsOfEveryPowerMatchTheReference();
    void divisibilityTestMatchesTheRemainder();
    void sameExamplesAsTheReference_data();
    void sameExamplesAsTheReference();
    void fullRangesGiveOnlyExactAnswers_data();
    void fullRangesGiveOnlyExactAnswers();
};

void ExtremesTest::rulesMatchTheReference_data()
{
    QTest::addColumn<Operation>("op");
    QTest::addColumn<bool>("difficult");
    for (Operation op : kAllOperations) {
        for (bool difficult : {false, true}) {
            const QByteArray name =
                QByteArray::number(int(op)) + (difficult ? " difficult" : " easy");
            QTest::newRow(name.constData()) << op << difficult;
        }
    }
}

void ExtremesTest::rulesMatchTheReference()
{
    QFETCH(Operation, op);
    QFETCH(bool, difficult);
    const std::vector<qint32> values = GridValues();
    for (qint32 a : values) {
        for (qint32 b : values) {
            const auto expected = ReferenceJudge(op, difficult, a, b);
            const auto actual = JudgePair(op, difficult, a, b);
            if (actual != expected)
                QFAIL(qPrintable(
                    QStringLiteral("a=%1 b=%2: %3 instead of %4")
                        .arg(a)
                        .arg(b)
                        .arg(actual ? QString::number(*actual) : QStringLiteral("-"))
                        .arg(expected ? QString::number(*expected) : QStringLiteral("-"))));
        }
    }
}

void ExtremesTest::logarithmsOfEveryPowerMatchTheReference()
{
    // Every power of every base up to 300 that fits, and its neighbours, in both modes.
    for (qint64 a = 2; a <= 300; ++a) {
        for (qint64 power = 1; power <= kMax; power *= a) {
            for (qint64 b : {power - 1, power, power + 1}) {
                if (b > kMax)
                    continue;
                for (bool difficult : {false, true}) {
                    const auto expected = ReferenceJudge(Operation::Logarithm, difficult, a, b);
                    if (JudgePair(Operation::Logarithm, difficult, qint32(a), qint32(b)) !=
                        expected)
                        QFAIL(qPrintable(QStringLiteral("log(%1,%2)").arg(a).arg(b)));
                }
            }
        }
    }
}

void ExtremesTest::divisibilityTestMatchesTheRemainder()
{
    std::vector<quint32> numbers;
    for (quint32 n = 0; n <= 5000; ++n)
        numbers.push_back(n);
    for (quint32 n : {65535u, 65536u, 1u << 31, (1u << 31) - 1, 4294967295u, 4294967294u,
                      4294967291u, 2147483646u, 1073741824u, 3486784401u})
        numbers.push_back(n);
    Xoshiro256 random(7);
    for (int i = 0; i < 2000; ++i)
        numbers.push_back(static_cast<quint32>(random.Next()));

    std::vector<quint32> divisors;
    for (quint32 d = 1; d <= 600; ++d)
        divisors.push_back(d);
    for (quint32 d :
         {4093u, 65535u, 65536u, 65537u, 46341u * 46341u, 2147483647u, 2147483648u, 4294967295u})
        divisors.push_back(d);

    for (quint32 d : divisors) {
        const DivisibilityTest test(d);
        for (quint32 n : numbers) {
            if (test.Divides(n) != (n % d == 0))
                QFAIL(qPrintable(QStringLiteral("%1 by %2").arg(n).arg(d)));
            // Multiples near the top of the range, where the product wraps most.
            const quint64 multiple = quint64(n % 1000 + 1) * d;
            if (multiple <= 4294967295u && !test.Divides(static_cast<quint32>(multiple)))
                QFAIL(qPrintable(QStringLiteral("%1 by %2").arg(multiple).arg(d)));
        }
    }
}

void ExtremesTest::sameExamplesAsTheReference_data()
{
    QTest::addColumn<QuizSettings>("settings");
    QTest::addColumn<int>("questions");
    QTest::addColumn<bool>("acceptable"); // whether any pair in the ranges is acceptable
    using O = Operation;
    const auto row = [](const QByteArray &name, QuizSettings s, int questions,
                        bool acceptable = true) {
        QTest::newRow(name.constData()) << s << questions << acceptable;
    };
    // Easy logarithms: the per-base tests with bases below 2, squares past 2^31 and past 32
    // bits, reversed ranges, and first ranges too wide for per-base tests.
    row("log easy small", Ranges(O::Logarithm, false, 2, 12, 1, 5000), 600);
    row("log easy around zero", Ranges(O::Logarithm, false, -5, 9, -3, 3000), 600);
    row("log easy reversed", Ranges(O::Logarithm, false, 40, -3, 1, 2000), 1000);
    row("log easy one base", Ranges(O::Logarithm, false, 3, 3, 1, 100000), 150);
    row("log easy squares", Ranges(O::Logarithm, false, 200, 210, 40000, 44100), 150);
    row("log easy squares past 2^31", Ranges(O::Logarithm, false, 46341, 46400, 1, 100), 300);
    row("log easy huge bases", Ranges(O::Logarithm, false, kMax - 600, kMax, kMax - 600, kMax),
        500);
    row("log easy wide bases", Ranges(O::Logarithm, false, -100, 5000, 1, 5000), 300);
    row("log difficult", Ranges(O::Logarithm, true, -3, 50, -10, 100000), 1000);
    // Every other rule on mixed small ranges and at both ends of 32 bits.
    for (Operation op :
         {O::Addition, O::Subtraction, O::Multiplication, O::Division, O::Remainder, O::Power}) {
        for (bool difficult : {false, true}) {
            const QByteArray name =
                QByteArray::number(int(op)) + (difficult ? " difficult" : " easy");
            row(name + " small", Ranges(op, difficult, -20, 20, -6, 12), 1000);
            // Near -2^31 easy subtraction is never positive and easy powers never have a
            // non-negative base.
            const bool none = !difficult && (op == O::Subtraction || op == O::Power);
            row(name + " bottom", Ranges(op, difficult, kMin, kMin + 40, -3, 3), none ? 30 : 300,
                !none);
            row(name + " top", Ranges(op, difficult, kMax - 40, kMax, -3, 3), 300);
        }
    }
}

void ExtremesTest::sameExamplesAsTheReference()
{
    // The program's own source (the inlined path), the same source behind the interface and
    // the reference draw the same questions from the same seed, one question after another.
    // Each clock reading is half a second later, so the generator gives up at the 11th reading
    // after the start, that is after 11 * kAttemptsPerClockReading attempts.
    QFETCH(QuizSettings, settings);
    QFETCH(int, questions);
    QFETCH(bool, acceptable);
    const int attempts = 11 * kAttemptsPerClockReading;
    const quint64 seed = 20240901;
    Xoshiro256 fast(seed);
    Hidden hidden(seed);
    Xoshiro256 reference(seed);
    FakeClock clock;
    clock.setStepPerReading(0.5);
    int accepted = 0;
    for (int i = 0; i < questions; ++i) {
        const std::optional<Example> expected = ReferenceDraw(settings, reference, attempts);
        QCOMPARE(Describe(DrawExample(settings, fast, clock)), Describe(expected));
        QCOMPARE(Describe(DrawExample(settings, hidden, clock)), Describe(expected));
        accepted += expected.has_value();
    }
    // Acceptable pairs are common enough to turn up within the limit most of the time.
    if (acceptable)
        QVERIFY2(accepted > questions / 2, qPrintable(QString::number(accepted)));
    else
        QCOMPARE(accepted, 0);
}

void ExtremesTest::fullRangesGiveOnlyExactAnswers_data()
{
    rulesMatchTheReference_data();
}

void ExtremesTest::fullRangesGiveOnlyExactAnswers()
{
    // Both operands over all of 32 bits. Pairs straight from DrawOperand and JudgePair, then
    // whole questions; sparse rules give up, which takes one clock reading here.
    QFETCH(Operation, op);
    QFETCH(bool, difficult);
    Xoshiro256 random(int(op) * 2 + difficult);
    for (int i = 0; i < 20000; ++i) {
        const qint32 a = DrawOperand(random.NextUniform(), kMin, kMax);
        const qint32 b = DrawOperand(random.NextUniform(), kMin, kMax);
        QCOMPARE(JudgePair(op, difficult, a, b), ReferenceJudge(op, difficult, a, b));
    }

    const QuizSettings full = Ranges(op, difficult, kMin, kMax, kMin, kMax);
    const QuizSettings reversed = Ranges(op, difficult, kMax, kMin, kMax, kMin);
    FakeClock clock;
    clock.setStepPerReading(kGiveUpSeconds + 1);
    int examples = 0;
    for (int i = 0; i < 200; ++i) {
        const auto example = DrawExample(i % 2 ? reversed : full, random, clock);
        if (!example)
            continue;
        ++examples;
        QCOMPARE(ReferenceJudge(op, difficult, example->FirstOperand, example->SecondOperand),
                 std::optional<qint32>(example->Answer));
    }
    // Addition, subtraction, division, remainder and difficult logarithms accept a good share.
    const bool dense = op == Operation::Addition || op == Operation::Subtraction ||
                       op == Operation::Remainder || (op == Operation::Division && difficult) ||
                       (op == Operation::Logarithm && difficult);
    if (dense)
        QVERIFY2(examples > 100, qPrintable(QString::number(examples)));
}

QTEST_GUILESS_MAIN(ExtremesTest)
#include "tst_extremes.moc"
