// The generator's candidate pairs and draws against brute force over small and extreme ranges.

#include "CandidatePairs.h"
#include "ExampleGenerator.h"
#include "Fakes.h"

#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>

Q_DECLARE_METATYPE(QuizSettings)

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();
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

// A row for each operation, mode and named range.
void AddRows(std::initializer_list<std::tuple<const char *, qint32, qint32, qint32, qint32>> ranges)
{
    QTest::addColumn<QuizSettings>("settings");
    for (Operation op : kAllOperations)
        for (bool d : {false, true})
            for (const auto &[name, min1, max1, min2, max2] : ranges)
                QTest::addRow("%c%s %s", "+-*:%^L"[int(op)], d ? " difficult" : "", name)
                    << QuizSettings{{}, min1, max1, min2, max2, op, d};
}

} // namespace

class ExtremesTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void candidatesHoldEveryAcceptablePairOnce_data()
    {
        AddRows({{"small", -20, 20, -6, 12},
                 {"away from 0", -40, -5, 9, -7},
                 {"reversed", 20, -20, 12, -6},
                 {"top", kMax - 40, kMax, -3, 3},
                 {"bottom", kMin, kMin + 40, -3, 3},
                 {"second top", -3, 3, kMax - 40, kMax},
                 {"second bottom", -3, 3, kMin, kMin + 40},
                 {"cube roots", 1280, 1300, -1, 4},
                 {"powers of two", -3, 3, 28, 33},
                 {"square", 46335, 46345, 2147395595, 2147395605}});
    }

    // Within the operands' values (or none), no candidate twice, all acceptable ones among them.
    void candidatesHoldEveryAcceptablePairOnce()
    {
        QFETCH(QuizSettings, settings);
        const CandidatePairs candidates(settings);
        const auto [a0, a1] = Values(settings.Min1, settings.Max1);
        const auto [b0, b1] = Values(settings.Min2, settings.Max2);
        Pairs drawn;
        for (quint64 i = 0; i < candidates.Count(); ++i) {
            if (const auto pair = candidates.Pair(i)) {
                QVERIFY(a0 <= pair->first && pair->first <= a1);
                QVERIFY(b0 <= pair->second && pair->second <= b1);
                QVERIFY(drawn.insert(*pair).second);
            }
        }
        const Pairs acceptable = Acceptable(settings);
        QVERIFY(std::includes(drawn.begin(), drawn.end(), acceptable.begin(), acceptable.end()));
    }

    void drawsEveryAcceptablePairEquallyOften_data()
    {
        AddRows({{"around 0", -6, 9, 10, -5}, {"away from 0", 12, 3, 10, -5}});
    }

    // The operand loop and the candidates drawn directly give every acceptable pair, about
    // equally often: chi-square below its mean plus six standard deviations.
    void drawsEveryAcceptablePairEquallyOften()
    {
        QFETCH(QuizSettings, settings);
        const Pairs acceptable = Acceptable(settings);
        QVERIFY(!acceptable.empty());
        const double expected = 200, cells = double(acceptable.size());
        for (const auto draw : {DrawExampleCounted, DrawCandidates}) {
            Xoshiro256 random(7);
            FakeClock clock;
            std::map<std::pair<qint32, qint32>, int> seen;
            for (int i = 0; i < expected * cells; ++i) {
                const CountedDraw result = draw(settings, random, clock);
                QVERIFY(result.example);
                ++seen[{result.example->FirstOperand, result.example->SecondOperand}];
            }
            double chiSquare = 0;
            for (const auto &pair : acceptable)
                chiSquare += std::pow(seen[pair] - expected, 2) / expected;
            QCOMPARE(seen.size(), acceptable.size());
            QVERIFY2(chiSquare < cells - 1 + 6 * std::sqrt(2 * (cells - 1)),
                     qPrintable(QString::number(chiSquare)));
        }
    }

    void sparseRangesNeverGiveUp_data()
    {
        AddRows({{"1..10^9", 1, 1000000000, 1, 1000000000},
                 {"full", kMin, kMax, kMin, kMax},
                 {"reversed", kMax, kMin, kMax, kMin},
                 {"negative", -1000000000, -1, kMin, -1},
                 {"wide second", 2, 1000, 1, kMax}});
    }

    // Twelve questions on a clock that moves 2 s a reading: the operand loop alone gives up.
    void sparseRangesNeverGiveUp()
    {
        QFETCH(QuizSettings, settings);
        if (CandidatePairs(settings).Count() == 0)
            QSKIP("nothing is acceptable");
        Xoshiro256 random(99);
        FakeClock clock;
        clock.stepPerReading = 2;
        for (int i = 0; i < 12; ++i) {
            const auto example = DrawExample(settings, random, clock);
            QVERIFY(example);
            QCOMPARE(JudgePair(settings.Operation, settings.Difficult, example->FirstOperand,
                               example->SecondOperand),
                     example->Answer);
        }
    }
};

QTEST_GUILESS_MAIN(ExtremesTest)
#include "tst_extremes.moc"
