#include "AcceptablePairExists.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr qint64 kMin32 = -2147483648LL;
constexpr qint64 kMax32 = 2147483647LL;
constexpr qint64 kTwo31 = kMax32 + 1;

struct Interval
{
    qint64 lo, hi;
    bool Empty() const { return lo > hi; }
    bool Has(qint64 v) const { return lo <= v && v <= hi; }
    Interval Within(qint64 low, qint64 high) const
    {
        return {std::max(lo, low), std::min(hi, high)};
    }
    // The absolute values of an interval on one side of 0.
    Interval Magnitudes() const { return lo > 0 ? *this : Interval{-hi, -lo}; }
};

Interval Negatives(Interval v)
{
    return v.Within(kMin32, -1);
}

Interval Positives(Interval v)
{
    return v.Within(1, kMax32);
}

// m^e, or kTwo31 + 1 once it passes 2^31 (m >= 0).
qint64 PowerUpTo2To31(qint64 m, qint64 e)
{
    qint64 power = 1;
    for (qint64 i = 0; i < e && power <= kTwo31; ++i)
        power = m == 0 ? 0 : std::min(power * m, kTwo31 + 1);
    return power;
}

// The largest r >= 0 with r^k <= n (n >= 0, k >= 1), by bisection.
qint64 IntegerRoot(qint64 n, qint64 k)
{
    qint64 low = 0, high = n;
    while (low < high) {
        const qint64 middle = low + (high - low + 1) / 2;
        if (PowerUpTo2To31(middle, k) <= n)
            low = middle;
        else
            high = middle - 1;
    }
    return low;
}

bool SumExists(bool difficult, Interval a, Interval b)
{
    const Interval none{1, 0};
    for (const Interval addends :
         difficult ? std::array{Negatives(b), Positives(b)} : std::array{b, none}) {
        // The sums form the interval from the smallest to the largest.
        if (!addends.Empty() && a.lo + addends.lo <= kMax32 && a.hi + addends.hi >= kMin32)
            return true;
    }
    return false;
}

bool DifferenceExists(bool difficult, Interval a, Interval b)
{
    return std::max(a.lo - b.hi, difficult ? kMin32 : 0) <= std::min(a.hi - b.lo, kMax32);
}

bool ProductExists(bool difficult, Interval a, Interval b)
{
    const auto sides = [](Interval v) {
        return std::array{Negatives(v), v.Within(0, 0), Positives(v)};
    };
    for (const Interval x : sides(a)) {
        for (const Interval y : sides(b)) {
            if (x.Empty() || y.Empty())
                continue;
            if (x.Has(0) || y.Has(0)) {
                if (!difficult)
                    return true;
                continue;
            }
            // The factors nearest 0 give the product nearest 0.
            const qint64 nearest = x.Magnitudes().lo * y.Magnitudes().lo;
            if (nearest <= ((x.lo < 0) != (y.lo < 0) ? kTwo31 : kMax32))
                return true;
        }
    }
    return false;
}

// Whether some divisor (>= 1) divides some multiple (>= 1).
bool SomeDivides(Interval divisors, Interval multiples)
{
    if (divisors.Empty() || multiples.Empty())
        return false;
    const qint64 width = multiples.hi - multiples.lo + 1;
    if (divisors.lo <= width)
        return true; // any `width` consecutive numbers hold a multiple of it
    // Each divisor now has at most one multiple among them: try every quotient, or every
    // multiple's divisors, whichever is fewer.
    const qint64 quotients = multiples.hi / divisors.lo;
    if (double(quotients) <= double(width) * std::sqrt(double(multiples.hi))) {
        for (qint64 q = 1; q <= quotients; ++q) {
            const Interval withQuotient{(multiples.lo + q - 1) / q, multiples.hi / q};
            if (!withQuotient.Within(divisors.lo, divisors.hi).Empty())
                return true;
        }
        return false;
    }
    for (qint64 n = multiples.lo; n <= multiples.hi; ++n) {
        for (qint64 d = 1; d * d <= n; ++d) {
            if (n % d == 0 && (divisors.Has(d) || divisors.Has(n / d)))
                return true;
        }
    }
    return false;
}

bool QuotientExists(bool difficult, Interval a, Interval b)
{
    const Interval below = Negatives(b), above = Positives(b);
    if (below.Empty() && above.Empty())
        return false;
    if (difficult) // anything but -2^31 : -1
        return !above.Empty() || below.lo < -1 || a.hi > kMin32;
    if (a.Has(0))
        return true;
    for (const Interval dividends : std::array{Negatives(a), Positives(a)}) {
        for (const Interval divisors : std::array{below, above}) {
            if (dividends.Empty() || divisors.Empty())
                continue;
            Interval m = divisors.Magnitudes();
            const Interval n = dividends.Magnitudes();
            if (dividends.lo < 0 && divisors.lo < 0 && m.lo == 1) {
                // -2^31 : -1 does not fit, any other dividend does.
                if (n.lo < kTwo31)
                    return true;
                m.lo = 2;
            }
            if (SomeDivides(m, n))
                return true;
        }
    }
    return false;
}

bool RemainderExists(bool difficult, Interval b)
{
    return !Negatives(b).Empty() || !b.Within(difficult ? 2 : 1, kMax32).Empty();
}

bool PowerExists(bool difficult, Interval a, Interval b)
{
    const Interval exponents = b.Within(0, kMax32);
    if (exponents.Empty())
        return false;
    if (a.Has(1) || (difficult && a.Has(-1)) || (a.Has(0) && exponents.hi >= 1))
        return true;
    // The smallest base and exponent give the smallest power.
    const qint64 e = exponents.lo;
    const Interval positive = a.Within(2, kMax32);
    if (!positive.Empty() && PowerUpTo2To31(positive.lo, e) <= kMax32)
        return true;
    const Interval negative = a.Within(kMin32, -2);
    return difficult && !negative.Empty() &&
           PowerUpTo2To31(-negative.hi, e) <= (e % 2 != 0 ? kTwo31 : kMax32);
}

bool LogarithmExists(bool difficult, Interval a, Interval b)
{
    const Interval bases = a.Within(2, kMax32), numbers = b.Within(1, kMax32);
    if (bases.Empty() || numbers.Empty())
        return false;
    if (difficult || numbers.lo == 1)
        return true;
    for (qint64 k = 1; k <= 31; ++k) {
        // The bases whose k-th power is among the numbers.
        const Interval withPower{IntegerRoot(numbers.lo - 1, k) + 1, IntegerRoot(numbers.hi, k)};
        if (!withPower.Within(bases.lo, bases.hi).Empty())
            return true;
    }
    return false;
}

} // namespace

OperandValues ValuesOf(qint32 min, qint32 max, bool withMin)
{
    const qint64 count = qint64(max) - min + 1;
    if (count >= 1)
        return {min, max};
    if (count == 0)
        return {min, min};
    return {qint64(max) + 1, withMin ? min : qint64(min) - 1};
}

bool AcceptablePairExists(Operation op, bool difficult, OperandValues first, OperandValues second)
{
    const Interval a{first.lo, first.hi}, b{second.lo, second.hi};
    switch (op) {
    case Operation::Addition:
        return SumExists(difficult, a, b);
    case Operation::Subtraction:
        return DifferenceExists(difficult, a, b);
    case Operation::Multiplication:
        return ProductExists(difficult, a, b);
    case Operation::Division:
        return QuotientExists(difficult, a, b);
    case Operation::Remainder:
        return RemainderExists(difficult, b);
    case Operation::Power:
        return PowerExists(difficult, a, b);
    case Operation::Logarithm:
        return LogarithmExists(difficult, a, b);
    }
    return false;
}
