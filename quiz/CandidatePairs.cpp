#include "CandidatePairs_p.h"

#include "NumberTheory_p.h"
#include "OperandRange_p.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace {

// A closed interval of integers; empty when lo > hi.
struct Interval
{
    qint64 lo, hi;
    bool Empty() const { return lo > hi; }
    qint64 Size() const { return Empty() ? 0 : hi - lo + 1; }
    Interval operator&(Interval other) const
    {
        return {std::max(lo, other.lo), std::min(hi, other.hi)};
    }
};

constexpr Interval kAll32{kMin32, kMax32};
constexpr qint64 kNoEnd = std::numeric_limits<qint64>::max();

Interval Values(qint32 min, qint32 max)
{
    const OperandRange range(min, max);
    return {range.Lowest(), range.Highest()};
}

// The values below gap and the values above it.
std::array<Interval, 2> Around(Interval values, Interval gap)
{
    return {values & Interval{kMin32, gap.lo - 1}, values & Interval{gap.hi + 1, kMax32}};
}

// The pairs (x, y) with x from factors (not 0), y from others and x * y in products, where the
// products reach from -1 or below to 1 or above. For a factor m or -m the y form an interval (a
// row) bounded by floor(products.hi / m) and floor(-products.lo / m), and the rows only shrink
// as m grows: a block of factors shares the first factor's row as long as the last one keeps
// half of it, at most about 33 blocks a sign, each at least half acceptable, found by binary
// search.
template <typename Add>
void ProductPairs(Interval factors, Interval others, Interval products, Add add)
{
    for (const int sign : {1, -1}) {
        const Interval divisors =
            (sign > 0 ? factors : Interval{-factors.hi, -factors.lo}) & Interval{1, kNoEnd};
        const auto row = [&](qint64 m) {
            const qint64 up = DivideDown(products.hi, m);
            const qint64 down = DivideDown(-products.lo, m);
            return others & (sign > 0 ? Interval{-down, up} : Interval{-up, down});
        };
        for (qint64 m = divisors.lo; m <= divisors.hi;) {
            const Interval first = row(m);
            if (first.Empty())
                break;
            qint64 end = divisors.hi;
            for (qint64 low = m; low < end;) {
                const qint64 middle = low + (end - low + 1) / 2;
                if (2 * row(middle).Size() >= first.Size())
                    low = middle;
                else
                    end = middle - 1;
            }
            add(sign > 0 ? Interval{m, end} : Interval{-end, -m}, first);
            m = end + 1;
        }
    }
}

// A block of rows in a band below keeps at least one in this many of its pairs acceptable.
constexpr qint64 kBandSparseness = 64;

// The pairs (i, j) with i from indices (all >= 1), j from others and lowest <= i * j <= highest,
// for 1 <= lowest <= highest: a band between two hyperbolas. Row i holds the j from
// ceil(lowest / i) to floor(highest / i) within others; both ends fall as i grows, so a block
// of rows i0..i1 lies within [the last row's low end, the first row's high end]. Free of
// others, a row holds at least floor(w / i) of them, w = highest - lowest + 1; cut by others,
// the rows grow towards the block's first row or its last. So a block holds at least the
// fewest of those three in each row, and it is taken whole as long as that keeps
// 1 / kBandSparseness of it, found by doubling and halving its length. With w above the square
// root of highest, the rows are single up to about lowest / 63w and then grow by that share:
// a few thousand blocks at most, where the exact ones (over which both ends stay) are about
// 2 sqrt(highest). A block whose rows are all empty is empty itself and left out.
template <typename Add>
void BandPairs(Interval indices, Interval others, qint64 lowest, qint64 highest, Add add)
{
    const qint64 width = highest - lowest + 1;
    const auto row = [&](qint64 i) { return others & Interval{(lowest + i - 1) / i, highest / i}; };
    const auto dense = [&](qint64 i0, qint64 i1) {
        const Interval first = row(i0), last = row(i1);
        const qint64 fewest = std::min({first.Size(), last.Size(), width / i1});
        return Interval{last.lo, first.hi}.Size() <= kBandSparseness * fewest;
    };
    for (qint64 i0 = indices.lo; i0 <= indices.hi;) {
        qint64 i1 = i0, step = 1;
        for (; i1 + step <= indices.hi && dense(i0, i1 + step); step *= 2)
            i1 += step;
        for (step /= 2; step > 0; step /= 2) {
            if (i1 + step <= indices.hi && dense(i0, i1 + step))
                i1 += step;
        }
        add(Interval{i0, i1}, Interval{row(i1).lo, row(i0).hi});
        i0 = i1 + 1;
    }
}

// Easy divisions of dividends away from 0, as (b, q) with a = b * q: for each sign of b, the
// divisors up to the square root of the largest |a| with their rows of quotients, and the
// quotients below it with their rows of the larger divisors, neither pair in both.
template <typename Add> void QuotientPairs(Interval divisors, Interval dividends, Add add)
{
    const qint64 sign = dividends.lo > 0 ? 1 : -1;
    const qint64 lowest = sign > 0 ? dividends.lo : -dividends.hi;
    const qint64 highest = sign > 0 ? dividends.hi : -dividends.lo;
    const qint64 root = RootDown(highest, 2);
    const auto withSign = [](qint64 by, Interval s) { return by > 0 ? s : Interval{-s.hi, -s.lo}; };
    for (const qint64 divisorSign : {1, -1}) {
        const Interval magnitudes = withSign(divisorSign, divisors);
        const auto addPair = [&](Interval m, Interval q) {
            add(withSign(divisorSign, m), withSign(sign * divisorSign, q) & kAll32);
        };
        BandPairs(magnitudes & Interval{1, root}, Interval{1, kNoEnd}, lowest, highest, addPair);
        BandPairs(Interval{1, highest / (root + 1)}, magnitudes & Interval{root + 1, kNoEnd},
                  lowest, highest, [&](Interval q, Interval m) { addPair(m, q); });
    }
}

// Powers: bases -1 (difficult only), 0 (exponents from 1) and 1 with any exponent from 0, and
// every other base with the exponents up to the largest e with a^e in 32 bits, in blocks of
// bases with the same e. That limit is 2^31 - 1 for a positive base, and 2^31 for a negative
// one: only (-2)^31 and (-2^31)^1 reach it, both odd, so negative. Easy powers have no negative
// base.
template <typename Add> void PowerPairs(Interval bases, Interval exponents, bool difficult, Add add)
{
    exponents = exponents & Interval{0, kMax32};
    if (difficult)
        add(bases & Interval{-1, -1}, exponents);
    add(bases & Interval{0, 0}, exponents & Interval{1, kMax32});
    add(bases & Interval{1, 1}, exponents);
    for (const bool negative : {false, true}) {
        if (negative && !difficult)
            break;
        qint64 low = 2; // the smallest |a| whose largest exponent is e
        for (qint64 e = 31; e >= 1; --e) {
            const qint64 high = RootDown(negative ? kMax32 + 1 : kMax32, e);
            const Interval y = exponents & Interval{0, e};
            add(bases & (negative ? Interval{-high, -low} : Interval{low, high}), y);
            low = high + 1;
        }
    }
}

// Easy logarithms as (a, k) with a^k among the second operands. For each k the bases with a^k
// among them form an interval; between the ends of those intervals the set of k stays the
// same, and as powers of one base grow with k it is an interval of k too.
template <typename Add> void EasyLogarithmPairs(Interval bases, Interval numbers, Add add)
{
    bases = bases & Interval{2, kMax32};
    numbers = numbers & Interval{1, kMax32};
    if (bases.Empty() || numbers.Empty())
        return;
    constexpr int kMaxExponent = 30; // 2^31 is past 32 bits
    std::array<Interval, kMaxExponent + 1> withPower;
    std::vector<qint64> cuts = {bases.lo, bases.hi + 1};
    for (int k = 0; k <= kMaxExponent; ++k) {
        if (k == 0) {
            withPower[0] = numbers.lo == 1 ? bases : Interval{1, 0};
        } else {
            const qint64 low = RootDown(numbers.lo - 1, k) + 1;
            withPower[k] = bases & Interval{low, RootDown(numbers.hi, k)};
        }
        cuts.push_back(withPower[k].lo);
        cuts.push_back(withPower[k].hi + 1);
    }
    std::sort(cuts.begin(), cuts.end());
    for (size_t i = 0; i + 1 < cuts.size(); ++i) {
        const Interval part = Interval{cuts[i], cuts[i + 1] - 1} & bases;
        Interval k{kMaxExponent + 1, -1};
        for (int e = 0; !part.Empty() && e <= kMaxExponent; ++e) {
            if (!(withPower[e] & part).Empty())
                k = {std::min<qint64>(k.lo, e), e};
        }
        add(part, k);
    }
}

// The cumulative counts of listed dividends are kept for every so many of them (a candidate's
// dividend is then found among at most that many).
constexpr size_t kDividendsPerEnd = 64;

} // namespace

CandidatePairs::CandidatePairs(const QuizSettings &s, AwayFromZero way)
{
    const Interval first = Values(s.Min1, s.Max1), second = Values(s.Min2, s.Max2);
    m_lowestFirst = first.lo;
    m_highestFirst = first.hi;
    const auto add = [this](Interval x, Interval y) {
        if (x.Empty() || y.Empty())
            return;
        m_rectangles.push_back({qint32(x.lo), qint32(x.hi), qint32(y.lo), qint32(y.hi)});
        m_count += Multiply(x.Size(), y.Size());
        m_ends.push_back(m_count);
    };
    switch (s.Operation) {
    case Operation::Addition:
        for (const Interval addends :
             s.Difficult ? Around(second, {0, 0}) : std::array{second, Interval{1, 0}})
            add(first & Interval{kMin32 - addends.hi, kMax32 - addends.lo},
                addends & Interval{kMin32 - first.hi, kMax32 - first.lo});
        break;
    case Operation::Subtraction: {
        const Interval differences{s.Difficult ? kMin32 : 0, kMax32};
        add(first & Interval{differences.lo + second.lo, differences.hi + second.hi},
            second & Interval{first.lo - differences.hi, first.hi - differences.lo});
        break;
    }
    case Operation::Multiplication:
        if (s.Difficult) {
            for (const Interval factors : Around(second, {0, 0}))
                ProductPairs(first, factors, kAll32, add);
        } else {
            add(first & Interval{0, 0}, second);
            ProductPairs(first, second, kAll32, add);
        }
        break;
    case Operation::Division:
        if (s.Difficult) {
            // -2^31 : -1 is 2^31, beyond 32 bits.
            const auto [below, above] = Around(second, {-1, 0});
            add(first, below);
            add(first & Interval{kMin32 + 1, kMax32}, second & Interval{-1, -1});
            add(first, above);
        } else {
            // A first range away from 0 is widened to reach 1 or -1 when that at most about
            // doubles the candidates, so that the rows nest; the dividends outside it are none.
            Interval dividends = first;
            if (dividends.lo > 1 && dividends.lo <= dividends.hi / 2)
                dividends.lo = 1;
            if (dividends.hi < -1 && dividends.hi >= dividends.lo / 2)
                dividends.hi = -1;
            if (dividends.lo <= 1 && dividends.hi >= -1) {
                m_coordinates = Coordinates::DivisorQuotient;
                ProductPairs(second, kAll32, dividends, add);
            } else if (way == AwayFromZero::Listed ||
                       (way == AwayFromZero::Quicker &&
                        dividends.Size() <= RootDown(std::max(-dividends.lo, dividends.hi), 2))) {
                ListDivisors(second.lo, second.hi);
            } else {
                m_coordinates = Coordinates::DivisorQuotient;
                QuotientPairs(second, dividends, add);
            }
        }
        break;
    case Operation::Remainder:
        for (const Interval divisors : Around(second, {0, s.Difficult ? 1 : 0}))
            add(first, divisors);
        break;
    case Operation::Power:
        PowerPairs(first, second, s.Difficult, add);
        break;
    case Operation::Logarithm:
        if (s.Difficult) {
            add(first & Interval{2, kMax32}, second & Interval{1, kMax32});
        } else {
            m_coordinates = Coordinates::BaseExponent;
            EasyLogarithmPairs(first, second, add);
        }
        break;
    }
    m_share = m_count.ToDouble() / (double(first.Size()) * double(second.Size()));
}

// Easy divisions of a narrow range of dividends away from 0, narrower than the band's rows
// (which would then hold at most one pair each): the dividends are factored kFactoredAtOnce at a
// time, and for each the divisors among the second operands counted. Only the counts are kept,
// two bytes a dividend; a candidate's dividend is factored again when it is drawn.
void CandidatePairs::ListDivisors(qint64 lowestDivisor, qint64 highestDivisor)
{
    m_coordinates = Coordinates::Divisors;
    m_lowestDivisor = lowestDivisor;
    m_highestDivisor = highestDivisor;
    m_divisorCounts.reserve(size_t(m_highestFirst - m_lowestFirst + 1));
    std::array<Factors, kFactoredAtOnce> factors;
    for (qint64 first = m_lowestFirst; first <= m_highestFirst; first += kFactoredAtOnce) {
        const qint64 last = std::min(first + kFactoredAtOnce - 1, m_highestFirst);
        Factorize(first, last, factors);
        for (qint64 a = first; a <= last; ++a) {
            quint16 count = 0;
            ForEachDivisor(a, factors[size_t(a - first)], lowestDivisor, highestDivisor,
                           [&](qint64, qint64) {
                               ++count;
                               return true;
                           });
            m_divisorCounts.push_back(count);
            m_count += count;
            if (m_divisorCounts.size() % kDividendsPerEnd == 0)
                m_ends.push_back(m_count);
        }
    }
}

quint64 CandidatePairs::Count() const
{
    return m_count.Clamped();
}

std::optional<std::pair<qint32, qint32>> CandidatePairs::Pair(quint64 index) const
{
    if (m_coordinates == Coordinates::Divisors) {
        const size_t end = std::upper_bound(m_ends.begin(), m_ends.end(), index) - m_ends.begin();
        quint64 skip = index - (end == 0 ? 0 : m_ends[end - 1].low); // below index, so 64 bits
        size_t i = end * kDividendsPerEnd;
        for (; skip >= m_divisorCounts[i]; ++i)
            skip -= m_divisorCounts[i];
        const qint64 a = m_lowestFirst + qint64(i);
        Factors factors;
        Factorize(a, a, {&factors, 1});
        std::optional<std::pair<qint32, qint32>> pair;
        ForEachDivisor(a, factors, m_lowestDivisor, m_highestDivisor, [&](qint64, qint64 b) {
            if (skip-- == 0)
                pair = std::pair(qint32(a), qint32(b));
            return !pair;
        });
        return pair;
    }
    const size_t i = std::upper_bound(m_ends.begin(), m_ends.end(), index) - m_ends.begin();
    const Rectangle &r = m_rectangles[i];
    const quint64 offset = index - (i == 0 ? 0 : m_ends[i - 1].low);
    const quint64 height = static_cast<quint64>(qint64(r.y1) - r.y0 + 1);
    const qint64 x = r.x0 + static_cast<qint64>(offset / height);
    const qint64 y = r.y0 + static_cast<qint64>(offset % height);
    switch (m_coordinates) {
    case Coordinates::Operands:
    case Coordinates::Divisors:
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
