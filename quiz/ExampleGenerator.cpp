#include "ExampleGenerator.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <tuple>
#include <type_traits>
#include <vector>

namespace {

constexpr qint64 kMin32 = std::numeric_limits<qint32>::min();
constexpr qint64 kMax32 = std::numeric_limits<qint32>::max();

std::optional<qint32> Fit32(qint64 value)
{
    if (value < kMin32 || value > kMax32)
        return std::nullopt;
    return static_cast<qint32>(value);
}

// abs(a)^b, negated for a negative base and an odd exponent; nothing when it overflows.
std::optional<qint32> IntegerPower(qint32 a, qint32 b)
{
    const qint64 base = std::abs(static_cast<qint64>(a));
    const bool negative = a < 0 && (b % 2 != 0);
    qint64 magnitude = 1;
    if (base <= 1) {
        magnitude = (base == 0 && b > 0) ? 0 : 1;
    } else {
        // base >= 2 overflows 32 bits by the 32nd factor, so this loop is short.
        for (qint32 i = 0; i < b; ++i) {
            magnitude *= base;
            if (magnitude > kMax32 + 1)
                return std::nullopt;
        }
    }
    return Fit32(negative ? -magnitude : magnitude);
}

// The largest k >= 0 with a^k <= b (a >= 2, b >= 1), and a^k itself.
struct FloorLog
{
    qint32 exponent;
    qint64 power;
};

FloorLog IntegerLogarithm(qint32 a, qint32 b)
{
    FloorLog result{0, 1};
    while (result.power <= b / a) {
        result.power *= a;
        ++result.exponent;
    }
    return result;
}

// One function per row of the rules; the generator's loop is compiled once for each.
std::optional<qint32> JudgeAddition(bool difficult, qint32 a, qint32 b)
{
    if (difficult && b == 0)
        return std::nullopt;
    return Fit32(qint64(a) + b);
}

std::optional<qint32> JudgeSubtraction(bool difficult, qint32 a, qint32 b)
{
    const qint64 difference = qint64(a) - b;
    if (!difficult && difference < 0)
        return std::nullopt;
    return Fit32(difference);
}

std::optional<qint32> JudgeMultiplication(bool difficult, qint32 a, qint32 b)
{
    if (difficult && (a == 0 || b == 0))
        return std::nullopt;
    return Fit32(qint64(a) * b);
}

std::optional<qint32> JudgeDivision(bool difficult, qint32 a, qint32 b)
{
    if (b == 0 || (!difficult && qint64(a) % b != 0))
        return std::nullopt;
    return Fit32(qint64(a) / b);
}

std::optional<qint32> JudgeRemainder(bool difficult, qint32 a, qint32 b)
{
    if (b == 0 || (difficult && b == 1))
        return std::nullopt;
    return Fit32(qint64(a) % b);
}

std::optional<qint32> JudgePower(bool difficult, qint32 a, qint32 b)
{
    if (b < 0 || (a == 0 && b == 0) || (!difficult && a < 0))
        return std::nullopt;
    return IntegerPower(a, b);
}

std::optional<qint32> JudgeLogarithm(bool difficult, qint32 a, qint32 b)
{
    if (b < 1 || a < 2)
        return std::nullopt;
    // Easy mode wants b = a^k, and for k >= 1 a divides b: most pairs need no powers counted.
    if (!difficult && b != 1 && b % a != 0)
        return std::nullopt;
    const FloorLog log = IntegerLogarithm(a, b);
    if (!difficult && log.power != b)
        return std::nullopt;
    return log.exponent;
}

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

// A closed interval of integers; empty when lo > hi.
struct Span
{
    qint64 lo, hi;
    bool Empty() const { return lo > hi; }
    qint64 Size() const { return Empty() ? 0 : hi - lo + 1; }
    Span operator&(Span other) const { return {std::max(lo, other.lo), std::min(hi, other.hi)}; }
};

constexpr Span kAll32{kMin32, kMax32};
constexpr qint64 kNoEnd = std::numeric_limits<qint64>::max();

Span Values(qint32 min, qint32 max)
{
    const OperandRange range(min, max);
    return {range.Lowest(), range.Highest()};
}

// floor(n / m) for m >= 1, and the largest m' >= m with the same floor(n / m').
struct FloorQuotient
{
    qint64 value, lastDivisor;
};

FloorQuotient DivideDown(qint64 n, qint64 m)
{
    if (n >= 0) {
        const qint64 q = n / m;
        return {q, q == 0 ? kNoEnd : n / q};
    }
    // floor(n / m) = -(floor((-n - 1) / m) + 1), which stays the same as long as that does.
    const qint64 y = -n - 1;
    const qint64 q = y / m;
    return {-q - 1, q == 0 ? kNoEnd : y / q};
}

// The pairs (x, y) with x from factors (not 0), y from others and x * y in products. For a
// factor m or -m the y form an interval (a row) bounded by floor(products.hi / m) and
// floor(-products.lo / m). When products reach from -1 or below to 1 or above, the rows only
// shrink as m grows, and a block of factors shares the first factor's row as long as the last
// one keeps half of it: at most about 33 blocks a sign, each at least half acceptable, found
// by binary search. Otherwise the blocks are those over which both quotients stay the same,
// exact but about 4 sqrt(|bound|) of them.
template <typename Add> void ProductPairs(Span factors, Span others, Span products, Add add)
{
    const bool nested = products.lo <= 1 && products.hi >= -1;
    for (const int sign : {1, -1}) {
        const Span divisors =
            (sign > 0 ? factors : Span{-factors.hi, -factors.lo}) & Span{1, kNoEnd};
        const auto row = [&](qint64 m) {
            const qint64 up = DivideDown(products.hi, m).value;
            const qint64 down = DivideDown(-products.lo, m).value;
            return others & (sign > 0 ? Span{-down, up} : Span{-up, down});
        };
        for (qint64 m = divisors.lo; m <= divisors.hi;) {
            const Span first = row(m);
            qint64 end = divisors.hi;
            if (nested) {
                if (first.Empty())
                    break;
                for (qint64 low = m; low < end;) {
                    const qint64 middle = low + (end - low + 1) / 2;
                    if (2 * row(middle).Size() >= first.Size())
                        low = middle;
                    else
                        end = middle - 1;
                }
            } else {
                end = std::min({DivideDown(products.hi, m).lastDivisor,
                                DivideDown(-products.lo, m).lastDivisor, end});
            }
            add(sign > 0 ? Span{m, end} : Span{-end, -m}, first);
            m = end + 1;
        }
    }
}

// m^e when it is at most limit (m >= 0, limit <= 2^31), otherwise nothing.
std::optional<qint64> PowerAtMost(qint64 m, qint64 e, qint64 limit)
{
    qint64 power = 1;
    for (qint64 i = 0; i < e; ++i) {
        power *= m;
        if (power > limit)
            return std::nullopt;
    }
    return power;
}

// The largest r >= 0 with r^e <= n, for 0 <= n <= 2^31 and e >= 1.
qint64 RootDown(qint64 n, qint64 e)
{
    qint64 r = std::llround(std::pow(double(n), 1.0 / double(e)));
    while (r > 0 && !PowerAtMost(r, e, n))
        --r;
    while (PowerAtMost(r + 1, e, n))
        ++r;
    return r;
}

// Powers: bases -1, 0 and 1 with any exponent from 0, and for every other base the exponents
// up to the largest e with |a|^e <= 2^31, in blocks of |a| with the same e.
template <typename Add> void PowerPairs(Span bases, Span exponents, Add add)
{
    exponents = exponents & Span{0, kMax32};
    add(bases & Span{-1, 1}, exponents);
    qint64 low = 2; // the smallest |a| whose largest exponent is e
    for (qint64 e = 31; e >= 1; --e) {
        const qint64 high = RootDown(kMax32 + 1, e);
        const Span y = exponents & Span{0, e};
        add(bases & Span{low, high}, y);
        add(bases & Span{-high, -low}, y);
        low = high + 1;
    }
}

// Easy logarithms as (a, k) with a^k among the second operands. For each k the bases with a^k
// among them form an interval; between the ends of those intervals the set of k stays the
// same, and as powers of one base grow with k it is an interval of k too.
template <typename Add> void EasyLogarithmPairs(Span bases, Span numbers, Add add)
{
    bases = bases & Span{2, kMax32};
    numbers = numbers & Span{1, kMax32};
    if (bases.Empty() || numbers.Empty())
        return;
    constexpr int kMaxExponent = 30; // 2^31 is past 32 bits
    std::array<Span, kMaxExponent + 1> withPower;
    std::vector<qint64> cuts = {bases.lo, bases.hi + 1};
    for (int k = 0; k <= kMaxExponent; ++k) {
        if (k == 0) {
            withPower[0] = numbers.lo == 1 ? bases : Span{1, 0};
        } else {
            const qint64 low = RootDown(numbers.lo - 1, k) + 1;
            withPower[k] = bases & Span{low, RootDown(numbers.hi, k)};
        }
        cuts.push_back(withPower[k].lo);
        cuts.push_back(withPower[k].hi + 1);
    }
    std::sort(cuts.begin(), cuts.end());
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const Span part = Span{cuts[i], cuts[i + 1] - 1} & bases;
        Span k{kMaxExponent + 1, -1};
        for (int e = 0; !part.Empty() && e <= kMaxExponent; ++e) {
            if (!(withPower[e] & part).Empty())
                k = {std::min<qint64>(k.lo, e), e};
        }
        add(part, k);
    }
}

} // namespace

CandidatePairs::CandidatePairs(const QuizSettings &s)
{
    const Span first = Values(s.Min1, s.Max1), second = Values(s.Min2, s.Max2);
    m_lowestFirst = first.lo;
    m_highestFirst = first.hi;
    const auto add = [this](Span x, Span y) {
        if (x.Empty() || y.Empty())
            return;
        m_rectangles.push_back({x.lo, x.hi, y.lo, y.hi});
        m_count += static_cast<unsigned __int128>(x.Size()) * static_cast<quint64>(y.Size());
        m_ends.push_back(m_count);
    };
    switch (s.Operation) {
    case Operation::Addition:
        add(first & Span{kMin32 - second.hi, kMax32 - second.lo},
            second & Span{kMin32 - first.hi, kMax32 - first.lo});
        break;
    case Operation::Subtraction: {
        const Span differences{s.Difficult ? kMin32 : 0, kMax32};
        add(first & Span{differences.lo + second.lo, differences.hi + second.hi},
            second & Span{first.lo - differences.hi, first.hi - differences.lo});
        break;
    }
    case Operation::Multiplication:
        add(first & Span{0, 0}, second);
        ProductPairs(first, second, kAll32, add);
        break;
    case Operation::Division:
        if (s.Difficult) {
            add(first, second);
        } else {
            // A first range away from 0 is widened to reach 1 or -1 when that at most about
            // doubles the candidates, so that the rows nest; the dividends outside it are none.
            Span dividends = first;
            if (dividends.lo > 1 && dividends.lo <= dividends.hi / 2)
                dividends.lo = 1;
            if (dividends.hi < -1 && dividends.hi >= dividends.lo / 2)
                dividends.hi = -1;
            m_coordinates = Coordinates::DivisorQuotient;
            ProductPairs(second, kAll32, dividends, add);
        }
        break;
    case Operation::Remainder:
        add(first, second);
        break;
    case Operation::Power:
        PowerPairs(first, second, add);
        break;
    case Operation::Logarithm:
        if (s.Difficult) {
            add(first & Span{2, kMax32}, second & Span{1, kMax32});
        } else {
            m_coordinates = Coordinates::BaseExponent;
            EasyLogarithmPairs(first, second, add);
        }
        break;
    }
    m_share = double(m_count) / (double(first.Size()) * double(second.Size()));
}

quint64 CandidatePairs::Count() const
{
    return static_cast<quint64>(std::min<unsigned __int128>(m_count, ~quint64(0)));
}

std::optional<std::pair<qint32, qint32>> CandidatePairs::Pair(quint64 index) const
{
    const size_t i = std::upper_bound(m_ends.begin(), m_ends.end(), index) - m_ends.begin();
    const Rectangle &r = m_rectangles[i];
    const quint64 offset = index - (i == 0 ? 0 : static_cast<quint64>(m_ends[i - 1]));
    const quint64 height = static_cast<quint64>(r.y1 - r.y0 + 1);
    const qint64 x = r.x0 + static_cast<qint64>(offset / height);
    const qint64 y = r.y0 + static_cast<qint64>(offset % height);
    switch (m_coordinates) {
    case Coordinates::Operands:
        break;
    case Coordinates::BaseExponent:
        return std::pair(qint32(x), qint32(*PowerAtMost(x, y, kMax32)));
    case Coordinates::DivisorQuotient:
        if (x * y < m_lowestFirst || x * y > m_highestFirst)
            return std::nullopt;
        return std::pair(qint32(x * y), qint32(x));
    }
    return std::pair(qint32(x), qint32(y));
}

namespace {

// Uniform 0 <= value < n for n >= 1, from 64 random bits (32 from each of two draws) by
// Lemire's multiply-and-reject ("Fast random integer generation in an interval", 2019).
template <typename Random> quint64 UniformBelow(Random &random, quint64 n)
{
    const auto bits = [&random] {
        const auto half = [&random] { return quint64(random.NextUniform() * 0x1.0p32); };
        const quint64 high = half();
        return high << 32 | half();
    };
    unsigned __int128 product = static_cast<unsigned __int128>(bits()) * n;
    if (static_cast<quint64>(product) < n) {
        const quint64 threshold = -n % n;
        while (static_cast<quint64>(product) < threshold)
            product = static_cast<unsigned __int128>(bits()) * n;
    }
    return static_cast<quint64>(product >> 64);
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

std::optional<qint32> JudgePair(Operation op, bool difficult, qint32 a, qint32 b)
{
    switch (op) {
    case Operation::Addition:
        return JudgeAddition(difficult, a, b);
    case Operation::Subtraction:
        return JudgeSubtraction(difficult, a, b);
    case Operation::Multiplication:
        return JudgeMultiplication(difficult, a, b);
    case Operation::Division:
        return JudgeDivision(difficult, a, b);
    case Operation::Remainder:
        return JudgeRemainder(difficult, a, b);
    case Operation::Power:
        return JudgePower(difficult, a, b);
    case Operation::Logarithm:
        return JudgeLogarithm(difficult, a, b);
    }
    return std::nullopt;
}

qint32 DrawOperand(double r, qint32 min, qint32 max)
{
    return OperandRange(min, max).Draw(r);
}

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
