#include "ExampleGenerator_p.h"

#include "AcceptanceRules.h"
#include "CandidatePairs_p.h"
#include "NumberTheory_p.h"
#include "OperandRange_p.h"

#include <algorithm>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

// The clock is read when a question starts and after every so many attempts. An attempt takes
// a few nanoseconds (a direct draw, below, about a hundred), so the limit is overshot by well
// under a millisecond, while the readings cost about one per cent of the loop instead of most.
constexpr int kAttemptsPerClockReading = 1024;

std::optional<qint32> RejectAll(bool, qint32, qint32)
{
    return std::nullopt;
}

// A rule as the loop uses it: Plausible is a cheap test that every acceptable pair passes,
// Judge the rule itself. For most rules there is nothing cheaper than the rule.
template <std::optional<qint32> (*Rule)(bool, qint32, qint32)> struct PlainRule
{
    bool difficult;
    bool Plausible(qint32, qint32) const { return true; }
    std::optional<qint32> Judge(qint32 a, qint32 b) const { return Rule(difficult, a, b); }
};

// Easy logarithms accept only b = a^k: b = 1, b = a, or a^2 divides b. Testing that first
// rejects nearly every pair of a sparse range before any power is counted. A division would be
// the slowest step of an attempt, so for first ranges of up to kMaxBases values each base gets
// a DivisibilityTest by its square once per question; wider ranges test a | b by division.
class EasyLogarithm
{
  public:
    explicit EasyLogarithm(const OperandRange &first) : m_lowest(first.Lowest())
    {
        const qint64 bases = first.Highest() - first.Lowest() + 1;
        if (bases > kMaxBases)
            return;
        m_tests.reserve(static_cast<size_t>(bases));
        for (qint64 a = first.Lowest(); a <= first.Highest(); ++a)
            m_tests.emplace_back(SquareDivisor(a));
    }

    // False only for pairs that the rule rejects.
    bool Plausible(qint32 a, qint32 b) const
    {
        if (b <= 1 || b == a)
            return true;
        const quint64 index = static_cast<quint64>(a - m_lowest);
        if (index < m_tests.size())
            return m_tests[index].Divides(static_cast<quint32>(b));
        return a < 2 || b % a == 0;
    }
    std::optional<qint32> Judge(qint32 a, qint32 b) const { return JudgeLogarithm(false, a, b); }

  private:
    static constexpr qint64 kMaxBases = 4096;

    // a^2, or for a square beyond 32 bits a divisor that no b in 2..2^31-1 has; 1 (which
    // divides everything) for the bases below 2 that the rule rejects anyway.
    static DivisibilityTest SquareDivisor(qint64 a)
    {
        if (a < 2)
            return DivisibilityTest(1);
        return DivisibilityTest(static_cast<quint32>(std::min<qint64>(a * a, 0xffffffff)));
    }

    qint64 m_lowest;
    std::vector<DivisibilityTest> m_tests;
};

// Uniform 0 <= value < n for n >= 1, from 64 random bits (32 from each of two draws) by
// Lemire's multiply-and-reject ("Fast random integer generation in an interval", 2019).
template <typename Random> quint64 UniformBelow(Random &random, quint64 n)
{
    const auto bits = [&random] {
        const auto half = [&random] { return quint64(random.NextUniform() * 0x1.0p32); };
        const quint64 high = half();
        return high << 32 | half();
    };
    Wide product = Multiply(bits(), n);
    if (product.low < n) {
        const quint64 threshold = -n % n;
        while (product.low < threshold)
            product = Multiply(bits(), n);
    }
    return product.high;
}

// Up to kAttemptsPerClockReading attempts with pairs from draw(), which for candidates may also
// give none (outside the operands' values); true once one is accepted. Inlined into each loop,
// so that the random state stays in registers.
template <typename Draw, typename Rule>
[[gnu::always_inline]] inline bool Attempts(const Draw &draw, const Rule &rule, CountedDraw &result)
{
    for (int i = 0; i < kAttemptsPerClockReading; ++i) {
        qint32 a, b;
        if constexpr (std::is_same_v<decltype(draw()), std::pair<qint32, qint32>>) {
            std::tie(a, b) = draw();
        } else {
            const std::optional<std::pair<qint32, qint32>> pair = draw();
            if (!pair)
                continue;
            std::tie(a, b) = *pair;
        }
        if (!rule.Plausible(a, b))
            continue;
        if (const std::optional<qint32> answer = rule.Judge(a, b)) {
            result.attempts += i + 1;
            result.example = Example{a, b, *answer};
            return true;
        }
    }
    result.attempts += kAttemptsPerClockReading;
    return false;
}

// The rest of a question whose first batch found nothing: the candidates are counted, and
// drawn when sparse, otherwise the operand loop goes on. Kept out of line so that the common
// question, answered by the first batch, carries none of it.
template <typename Random, typename Rule, typename DrawOperands>
[[gnu::noinline]] void KeepDrawing(const QuizSettings &settings, Random &random, Clock &clock,
                                   const Rule &rule, const DrawOperands &drawOperands, double start,
                                   bool candidatesAtOnce, CountedDraw &result)
{
    const CandidatePairs candidates(settings);
    const quint64 count = candidates.Count();
    const auto drawCandidate = [&] { return candidates.Pair(UniformBelow(random, count)); };
    result.direct = candidatesAtOnce ? count > 0 : candidates.Direct();
    while (clock.Seconds() - start <= kGiveUpSeconds) {
        if (result.direct ? Attempts(drawCandidate, rule, result)
                          : Attempts(drawOperands, rule, result))
            return;
    }
}

// The retry loop. It is compiled for each rule and for the program's own generator, so that
// the calls inside it are inlined; the tests' scripted sources go through the interface.
// Operand pairs first; if one batch finds nothing, the candidates are counted and drawn when
// sparse. Whichever way it ends, a question is uniform over the acceptable pairs: the loop's
// first batch is when it succeeds, and what follows is too.
template <bool candidatesAtOnce, typename Random, typename Rule>
CountedDraw DrawLoop(const QuizSettings &settings, Random &random, Clock &clock, const Rule &rule)
{
    const OperandRange first(settings.Min1, settings.Max1);
    const OperandRange second(settings.Min2, settings.Max2);
    const auto drawOperands = [&] {
        const qint32 a = first.Draw(random.NextUniform());
        return std::pair(a, second.Draw(random.NextUniform()));
    };

    CountedDraw result;
    const double start = clock.Seconds();
    if (candidatesAtOnce || !Attempts(drawOperands, rule, result))
        KeepDrawing(settings, random, clock, rule, drawOperands, start, candidatesAtOnce, result);
    return result;
}

template <bool candidatesAtOnce, typename Random>
CountedDraw DrawWith(const QuizSettings &settings, Random &random, Clock &clock)
{
    const bool difficult = settings.Difficult;
    switch (settings.Operation) {
    case Operation::Addition:
        return DrawLoop<candidatesAtOnce>(settings, random, clock,
                                          PlainRule<JudgeAddition>{difficult});
    case Operation::Subtraction:
        return DrawLoop<candidatesAtOnce>(settings, random, clock,
                                          PlainRule<JudgeSubtraction>{difficult});
    case Operation::Multiplication:
        return DrawLoop<candidatesAtOnce>(settings, random, clock,
                                          PlainRule<JudgeMultiplication>{difficult});
    case Operation::Division:
        return DrawLoop<candidatesAtOnce>(settings, random, clock,
                                          PlainRule<JudgeDivision>{difficult});
    case Operation::Remainder:
        return DrawLoop<candidatesAtOnce>(settings, random, clock,
                                          PlainRule<JudgeRemainder>{difficult});
    case Operation::Power:
        return DrawLoop<candidatesAtOnce>(settings, random, clock,
                                          PlainRule<JudgePower>{difficult});
    case Operation::Logarithm:
        if (difficult)
            return DrawLoop<candidatesAtOnce>(settings, random, clock,
                                              PlainRule<JudgeLogarithm>{true});
        return DrawLoop<candidatesAtOnce>(
            settings, random, clock, EasyLogarithm(OperandRange(settings.Min1, settings.Max1)));
    }
    // Not an operation: nothing is accepted and the generator gives up as for impossible ranges.
    return DrawLoop<candidatesAtOnce>(settings, random, clock, PlainRule<RejectAll>{difficult});
}

} // namespace

namespace {

template <bool candidatesAtOnce>
CountedDraw Draw(const QuizSettings &settings, RandomSource &random, Clock &clock)
{
    if (auto *xoshiro = dynamic_cast<Xoshiro256 *>(&random)) {
        // A copy of the state on the stack can live in registers throughout the loop.
        Xoshiro256 local = *xoshiro;
        const CountedDraw result = DrawWith<candidatesAtOnce>(settings, local, clock);
        *xoshiro = local;
        return result;
    }
    return DrawWith<candidatesAtOnce>(settings, random, clock);
}

} // namespace

CountedDraw DrawExampleCounted(const QuizSettings &settings, RandomSource &random, Clock &clock)
{
    return Draw<false>(settings, random, clock);
}

CountedDraw DrawCandidates(const QuizSettings &settings, RandomSource &random, Clock &clock)
{
    return Draw<true>(settings, random, clock);
}

std::optional<Example> DrawExample(const QuizSettings &settings, RandomSource &random, Clock &clock)
{
    return DrawExampleCounted(settings, random, clock).example;
}
