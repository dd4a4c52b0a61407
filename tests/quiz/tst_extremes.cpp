// The generator against a slow reference written straight from the rules, on small and extreme
// operands; the sanitizer build runs it too.

#include "ExampleGenerator.h"
#include "Fakes.h"

#include <QTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(QuizSettings)

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();

// The rules in 64-bit arithmetic; powers and logarithms by repeated multiplication.
std::optional<qint32> ReferenceJudge(Operation op, bool difficult, qint64 a, qint64 b)
{
    const auto fit = [](qint64 v) {
        return v < kMin || v > kMax ? std::nullopt : std::optional<qint32>(qint32(v));
    };
    switch (op) {
    case Operation::Addition:
        return difficult && b == 0 ? std::nullopt : fit(a + b);
    case Operation::Subtraction:
        return !difficult && a < b ? std::nullopt : fit(a - b);
    case Operation::Multiplication:
        return difficult && (a == 0 || b == 0) ? std::nullopt : fit(a * b);
    case Operation::Division:
        return b == 0 || (!difficult && a % b != 0) ? std::nullopt : fit(a / b);
    case Operation::Remainder:
        return b == 0 || (difficult && b == 1) ? std::nullopt : fit(a % b);
    case Operation::Power: {
        if (b < 0 || (a == 0 && b == 0) || (!difficult && a < 0))
            return std::nullopt;
        // Past 64 factors only the parity of the exponent can still matter.
        qint64 power = 1;
        for (qint64 i = 0; i < (b > 64 ? 64 + b % 2 : b) && std::abs(power) <= kMax + 1LL; ++i)
            power *= a;
        return fit(power);
    }
    case Operation::Logarithm: {
        if (b < 1 || a < 2)
            return std::nullopt;
        qint64 k = 0, power = 1;
        for (; power * a <= b; ++k)
            power *= a;
        return !difficult && power != b ? std::nullopt : fit(k);
    }
    }
    return std::nullopt;
}

// The generator's loop with floor() and without the clock, giving up after as many attempts as
// eleven clock readings half a second apart allow.
std::optional<Example> ReferenceDraw(const QuizSettings &s, RandomSource &random)
{
    const auto draw = [&random](qint32 min, qint32 max) {
        return qint32(std::floor(random.NextUniform() * double(qint64(max) - min + 1)) + min);
    };
    for (int i = 0; i < 11 * kAttemptsPerClockReading; ++i) {
        const qint32 a = draw(s.Min1, s.Max1), b = draw(s.Min2, s.Max2);
        if (const auto answer = ReferenceJudge(s.Operation, s.Difficult, a, b))
            return Example{a, b, *answer};
    }
    return std::nullopt;
}

QString Describe(const std::optional<Example> &e)
{
    return e ? QString::asprintf("%d, %d -> %d", e->FirstOperand, e->SecondOperand, e->Answer)
             : QStringLiteral("gave up");
}

} // namespace

class ExtremesTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void sameQuestionsAsTheReference_data()
    {
        QTest::addColumn<QuizSettings>("settings");
        QTest::addColumn<int>("questions");
        const auto row = [](const QByteArray &name, const QuizSettings &s, int questions) {
            QTest::newRow(name.constData()) << s << questions;
        };
        // Easy logarithms: bases below 2, a reversed range, squares past 32 bits and first
        // ranges too wide for a divisibility test per base.
        const Operation log = Operation::Logarithm;
        row("log small", {{}, -5, 12, -3, 5000, log}, 200);
        row("log reversed", {{}, 40, -3, 1, 2000, log}, 200);
        row("log squares past 2^31", {{}, 46341, 46400, 1, 100, log}, 100);
        row("log huge bases", {{}, kMax - 600, kMax, kMax - 600, kMax, log}, 100);
        row("log wide bases", {{}, -100, 5000, 2, 64, log}, 100);
        for (Operation op : kAllOperations) {
            for (bool d : {false, true}) {
                const QByteArray name = QByteArray(1, "+-*:%^L"[int(op)]) + (d ? " difficult" : "");
                row(name + " small", {{}, -20, 20, -6, 12, op, d}, 200);
                row(name + " top", {{}, kMax - 40, kMax, -3, 3, op, d}, 30);
                row(name + " bottom", {{}, kMin, kMin + 40, -3, 3, op, d}, 30);
                row(name + " full", {{}, kMin, kMax, kMin, kMax, op, d}, 10);
                row(name + " reversed full", {{}, kMax, kMin, kMax, kMin, op, d}, 10);
            }
        }
    }

    void sameQuestionsAsTheReference()
    {
        // The program's source and the reference draw the same questions from the same seed.
        // Each clock reading is half a second later.
        QFETCH(QuizSettings, settings);
        QFETCH(int, questions);
        Xoshiro256 random(20240901), reference(20240901);
        FakeClock clock;
        clock.stepPerReading = 0.5;
        for (int i = 0; i < questions; ++i)
            QCOMPARE(Describe(DrawExample(settings, random, clock)),
                     Describe(ReferenceDraw(settings, reference)));
    }
};

QTEST_GUILESS_MAIN(ExtremesTest)
#include "tst_extremes.moc"
