// The generator's candidate pairs and draws against brute force over small and extreme ranges.

#include "AcceptanceRules.h"
#include "CandidatePairs_p.h"
#include "ExampleGenerator_p.h"
#include "Fakes.h"
#include "Int32.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <set>

using Examples = std::set<std::tuple<qint32, qint32, qint32>>; // a, b and the answer
using Draw = CountedDraw (*)(const QuizSettings &, RandomSource &, Clock &);

Q_DECLARE_METATYPE(QuizSettings)
Q_DECLARE_METATYPE(Examples)

// A way of drawing, and every example it may give (none: found by trying every pair).
struct Drawing
{
    Draw draw;
    Examples examples;
};

Q_DECLARE_METATYPE(Drawing)

namespace {

constexpr qint32 kMin = kMin32, kMax = kMax32;
using Pairs = std::set<std::pair<qint32, qint32>>;

// The values r * (max - min + 1) + min gives for 0 < r < 1: a reversed range leaves out min,
// which only r = 0 gives.
std::pair<qint64, qint64> Values(qint32 min, qint32 max)
{
    if (max >= min - 1LL)
        return {min, std::max(min, max)};
    return {max + 1LL, min - 1LL};
}

// Every acceptable pair, by trying them all.
Pairs Acceptable(const QuizSettings &s)
{
    Pairs pairs;
    const auto [a0, a1] = Values(s.Min1, s.Max1);
    const auto [b0, b1] = Values(s.Min2, s.Max2);
    for (qint64 a = a0; a <= a1; ++a)
        for (qint64 b = b0; b <= b1; ++b)
            if (JudgePair(s.Operation, s.Difficult, qint32(a), qint32(b)))
                pairs.emplace(qint32(a), qint32(b));
    return pairs;
}

// A row for each operation, mode and named range, and each variant that variants() gives for
// them, as a name and the value of the column named.
template <typename Variants>
void AddRows(std::initializer_list<std::tuple<const char *, qint32, qint32, qint32, qint32>> ranges,
             const char *column, Variants variants)
{
    QTest::addColumn<QuizSettings>("settings");
    QTest::addColumn<std::decay_t<decltype(variants({}, false)[0].second)>>(column);
    for (Operation op : kAllOperations)
        for (bool d : {false, true})
            for (const auto &[name, min1, max1, min2, max2] : ranges)
                for (const auto &[variant, value] : variants(op, d))
                    QTest::addRow("%c%s %s%s", "+-*:%^L"[int(op)], d ? " difficult" : "", name,
                                  variant)
                        << QuizSettings{{}, min1, max1, min2, max2, op, d} << value;
}

// The operand loop and the candidates drawn directly from the start.
const std::pair<const char *, Drawing> kBothDraws[] = {{" loop", {DrawExampleCounted}},
                                                       {" direct", {DrawCandidates}}};

} // namespace

class ExtremesTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    // Easy divisions of dividends away from 0 list each one's divisors, or for more of them take
    // the blocks of a band: each way for them.
    void candidatesHoldEveryAcceptablePairOnce_data()
    {
        using Way = CandidatePairs::AwayFromZero;
        const auto ways = [](Operation op, bool difficult) {
            if (op != Operation::Division || difficult)
                return std::vector<std::pair<const char *, Way>>{{"", Way::Quicker}};
            return std::vector<std::pair<const char *, Way>>{
                {"", Way::Quicker}, {" listed", Way::Listed}, {" band", Way::Band}};
        };
        AddRows({{"small", -20, 20, -6, 12},
                 {"away from 0", -40, -5, 9, -7},
                 {"reversed", 20, -20, 12, -6},
                 {"top", kMax - 40, kMax, -3, 3},
                 {"bottom", kMin, kMin + 40, -3, 3},
                 {"second top", -3, 3, kMax - 40, kMax},
                 {"second bottom", -3, 3, kMin, kMin + 40},
                 {"cube roots", 1280, 1300, -1, 4},
                 {"powers of two", -3, 3, 28, 33},
                 {"square", 46335, 46345, 2147395595, 2147395605},
                 {"far by middle", 1000000, 1000040, -2000, 2000},
                 {"top by top", kMax - 40, kMax, kMax - 40, kMax},
                 {"far and wide", 3000, 4100, -60, 60},
                 {"far by a cut", 3000, 4100, 60, 200},
                 {"far by a narrow cut", 4803, 4869, 103, 190},
                 {"prime by small", 1000003, 1000003, 2, 1000},
                 {"-2^31 by -1", kMin, kMin, -1, -1},
                 {"zeros", 0, 0, 0, 0},
                 {"second 0", -1000, 2, 0, 0}},
                "way", ways);
    }

    // Within the operands' values (or none), no candidate twice, all acceptable ones among them,
    // and at least a quarter of them acceptable (a sixty-fourth for the bands of easy divisions),
    // counting the none: none exactly when no pair is.
    // For remainders, difficult divisions, powers and logarithms the candidates are the acceptable
    // pairs.
    void candidatesHoldEveryAcceptablePairOnce()
    {
        QFETCH(QuizSettings, settings);
        QFETCH(CandidatePairs::AwayFromZero, way);
        const Operation op = settings.Operation;
        const CandidatePairs candidates(settings, way);
        const Pairs acceptable = Acceptable(settings);
        const auto [a0, a1] = Values(settings.Min1, settings.Max1);
        const auto [b0, b1] = Values(settings.Min2, settings.Max2);
        // A band keeps a sixty-fourth; the listed way, where it lists, nothing else.
        const bool band = op == Operation::Division && !settings.Difficult &&
                          way != CandidatePairs::AwayFromZero::Listed;
        const quint64 sparseness = band ? 64 : 4;
        Pairs drawn;
        for (quint64 i = 0; i < candidates.Count(); ++i) {
            if (const auto pair = candidates.Pair(i)) {
                QVERIFY(a0 <= pair->first && pair->first <= a1);
                QVERIFY(b0 <= pair->second && pair->second <= b1);
                QVERIFY(drawn.insert(*pair).second);
            }
        }
        QVERIFY(std::includes(drawn.begin(), drawn.end(), acceptable.begin(), acceptable.end()));
        QCOMPARE(candidates.Count() > 0, !acceptable.empty());
        QVERIFY2(sparseness * acceptable.size() >= candidates.Count(),
                 qPrintable(QString::number(acceptable.size()) + u'/' +
                            QString::number(candidates.Count())));
        if (op == Operation::Remainder || op == Operation::Power || op == Operation::Logarithm ||
            (op == Operation::Division && settings.Difficult))
            QCOMPARE(drawn.size(), acceptable.size());
    }

    void drawsEveryAcceptableExampleEquallyOften_data()
    {
        AddRows({{"around 0", -6, 9, 10, -5}, {"away from 0", 12, 3, 10, -5}}, "drawing",
                [](Operation, bool) {
                    return std::vector(std::begin(kBothDraws), std::end(kBothDraws));
                });
        for (const auto &[how, drawing] : kBothDraws) {
            // b = a^k, each with its k.
            QTest::addRow("easy logarithm 1..10%s", how)
                << QuizSettings{{}, 1, 10, 1, 10, Operation::Logarithm}
                << Drawing{drawing.draw,
                           {{2, 1, 0}, {3, 1, 0}, {4, 1, 0},  {5, 1, 0}, {6, 1, 0}, {7, 1, 0},
                            {8, 1, 0}, {9, 1, 0}, {10, 1, 0}, {2, 2, 1}, {3, 3, 1}, {4, 4, 1},
                            {5, 5, 1}, {6, 6, 1}, {7, 7, 1},  {8, 8, 1}, {9, 9, 1}, {10, 10, 1},
                            {2, 4, 2}, {2, 8, 3}, {3, 9, 2}}};
            // Two bases of two thousand million: neither a negative one nor 0^0.
            QTest::addRow("easy power -2000000000..2, 0..0%s", how)
                << QuizSettings{{}, -2000000000, 2, 0, 0, Operation::Power}
                << Drawing{drawing.draw, {{1, 0, 1}, {2, 0, 1}}};
        }
    }

    // The operand loop and the candidates drawn directly give the acceptable examples and no
    // others (a brute-force search finds no more where the ranges are small enough for it), each
    // about equally often: chi-square below its mean plus six standard deviations.
    void drawsEveryAcceptableExampleEquallyOften()
    {
        QFETCH(QuizSettings, settings);
        QFETCH(Drawing, drawing);
        auto [draw, examples] = drawing;
        const auto [a0, a1] = Values(settings.Min1, settings.Max1);
        const auto [b0, b1] = Values(settings.Min2, settings.Max2);
        if (examples.empty() || (a1 - a0 + 1) * (b1 - b0 + 1) <= 1000000) {
            Examples judged;
            for (const auto &[a, b] : Acceptable(settings))
                judged.insert({a, b, *JudgePair(settings.Operation, settings.Difficult, a, b)});
            QVERIFY(!judged.empty());
            QVERIFY(examples.empty() || judged == examples);
            examples = judged;
        }
        const double expected = 200, cells = double(examples.size());
        Xoshiro256 random(7);
        FakeClock clock;
        std::map<std::tuple<qint32, qint32, qint32>, int> seen;
        for (int i = 0; i < expected * cells; ++i) {
            const std::optional<Example> e = draw(settings, random, clock).example;
            QVERIFY(e);
            QVERIFY(examples.count({e->FirstOperand, e->SecondOperand, e->Answer}));
            ++seen[{e->FirstOperand, e->SecondOperand, e->Answer}];
        }
        double chiSquare = 0;
        for (const auto &example : examples)
            chiSquare += std::pow(seen[example] - expected, 2) / expected;
        QVERIFY2(chiSquare < cells - 1 + 6 * std::sqrt(2 * (cells - 1)),
                 qPrintable(QString::number(chiSquare)));
    }

    // Wide and extreme ranges, with whether each operation and mode has an acceptable pair
    // there, in the order + - · : % ^ L, easy then difficult ('y' or '-'), worked out by hand.
    void givesUpOnlyWithoutAcceptablePair_data()
    {
        QTest::addColumn<QuizSettings>("settings");
        QTest::addColumn<bool>("acceptable");
        const auto add = [](const char *name, qint32 min1, qint32 max1, qint32 min2, qint32 max2,
                            const char(&flags)[15]) {
            for (Operation op : kAllOperations)
                for (bool d : {false, true})
                    QTest::addRow("%c%s %s", "+-*:%^L"[int(op)], d ? " difficult" : "", name)
                        << QuizSettings{{}, min1, max1, min2, max2, op, d}
                        << (flags[2 * int(op) + d] == 'y');
        };
        add("1..10^9", 1, 1000000000, 1, 1000000000, "yyyyyyyyyyyyyy");
        add("full", kMin, kMax, kMin, kMax, "yyyyyyyyyyyyyy");
        add("reversed", kMax, kMin, kMax, kMin, "yyyyyyyyyyyyyy");
        add("negative", -1000000000, -1, kMin, -1, "yyyyyyyyyy----");
        add("wide second", 2, 1000, 1, kMax, "yyyyyyyyyyyyyy");
        // Only 1^0 and 2^0 in easy mode.
        add("mostly negative bases", -2000000000, 2, 0, 0, "y-yyy-----yy--");
        // kMax : (kMin + 1) is -1; every difference and product overflows.
        add("top by bottom", kMax - 1, kMax, kMin, kMin + 1, "yy----yyyy----");
        add("bottom by -1", kMin, kMin + 1, -1, -1, "yy-yyyyyyy----");
        add("10^6 by top", 1000000, 1000000, kMax - 1, kMax, "---y---yyy---y");
        // 0..-2^31 gives -2^31+1..-1.
        add("reversed negative by 2..top", 0, kMin, 2, kMax, "yy-yyyyyyy-y--");
        add("-1 by top", -1, -1, kMax - 1, kMax, "yy-yyy-yyy-y--");
        add("bottom by 1..2", kMin, kMin, 1, 2, "yy--yyyyyy-y--");
        // A million dividends away from 0 by every divisor: the blocks of a band.
        add("top million by full", kMax - 999999, kMax, kMin, kMax, "yyyyyyyyyyyyyy");
        add("bottom million by full", kMin, kMin + 999999, kMin, kMax, "yyyyyyyyyy-y--");
    }

    // Twelve questions on a clock that moves 2 s a reading, where the operand loop alone would
    // give up on the sparse ones; without an acceptable pair, the first question gives up and
    // there are no candidates.
    void givesUpOnlyWithoutAcceptablePair()
    {
        QFETCH(QuizSettings, settings);
        QFETCH(bool, acceptable);
        QCOMPARE(CandidatePairs(settings).Count() > 0, acceptable);
        Xoshiro256 random(99);
        FakeClock clock;
        clock.stepPerReading = 2;
        for (int i = 0; i < (acceptable ? 12 : 1); ++i) {
            const auto example = DrawExample(settings, random, clock);
            QCOMPARE(example.has_value(), acceptable);
            if (example)
                QCOMPARE(JudgePair(settings.Operation, settings.Difficult, example->FirstOperand,
                                   example->SecondOperand),
                         example->Answer);
        }
    }

    // The counts and the uniform draw multiply 64-bit numbers into 128 bits; 32-bit ARM builds
    // do it in halves. Against products worked out by hand, and against the compiler's own
    // 128-bit product where there is one.
    void wideArithmetic()
    {
        const quint64 max = ~quint64(0);
        QVERIFY(MultiplyInHalves(max, max) == Wide(max - 1, 1)); // 2^128 - 2^65 + 1
        QVERIFY(MultiplyInHalves(quint64(1) << 32, quint64(1) << 32) == Wide(1, 0));
        QVERIFY(MultiplyInHalves(0xffffffff, 0xffffffff) == Wide(0, 0xfffffffe00000001));
        QVERIFY(MultiplyInHalves(0x123456789abcdef0, 16) == Wide(1, 0x23456789abcdef00));
        QVERIFY(MultiplyInHalves(max, 0) == Wide(0));
        std::mt19937_64 random(20261207);
        for (int i = 0; i < 100000; ++i) {
            const quint64 a = random() >> (i % 64), b = random() >> (i / 7 % 64);
            QVERIFY(MultiplyInHalves(a, b) == Multiply(a, b));
        }
        QVERIFY(Wide(max) + Wide(1) == Wide(1, 0));
        QVERIFY((Wide(3, 0x8000000000000001) << 2) == Wide(14, 4));
        QCOMPARE(Wide(1, 5).Clamped(), max);
        QVERIFY(Wide(0, max) < Wide(1, 0));
    }
};

QTEST_GUILESS_MAIN(ExtremesTest)
#include "tst_extremes.moc"
