#pragma once

// Integer roots, divisibility and factoring for the generator's candidate pairs.

#include "Int32.h"

#include <array>
#include <cmath>
#include <optional>
#include <span>

// Whether d divides n, for n below 2^32 and d >= 1, with one multiplication instead of a
// division: for c = ceil(2^64 / d), d divides n exactly when n * c mod 2^64 < c (Lemire, Kaser
// and Kurz, "Faster remainder by direct computation", 2019).
class DivisibilityTest
{
  public:
    explicit DivisibilityTest(quint32 d) : m_c(~quint64(0) / d + 1) {}
    bool Divides(quint32 n) const { return n * m_c <= m_c - 1; }

  private:
    quint64 m_c; // 0 for d = 1, which divides everything
};

// m^e when it is at most limit (m >= 0, limit <= 2^31), otherwise nothing.
inline std::optional<qint64> PowerAtMost(qint64 m, qint64 e, qint64 limit)
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
inline qint64 RootDown(qint64 n, qint64 e)
{
    qint64 r = std::llround(std::pow(double(n), 1.0 / double(e)));
    while (r > 0 && !PowerAtMost(r, e, n))
        --r;
    while (PowerAtMost(r + 1, e, n))
        ++r;
    return r;
}

// floor(n / m) for m >= 1: -(floor((-n - 1) / m) + 1) for negative n.
inline qint64 DivideDown(qint64 n, qint64 m)
{
    return n >= 0 ? n / m : -((-n - 1) / m) - 1;
}

// A number's prime factors with their powers: 2·3·5·…·29 > 2^31, so fewer than 10.
struct Factors
{
    std::array<quint32, 9> primes;
    std::array<quint8, 9> powers;
    int count = 0;
};

// The most numbers Factorize takes at once.
inline constexpr qint64 kFactoredAtOnce = 1024;

// The prime factors of first..last (at most kFactoredAtOnce of them, one sign, not 0, each of
// magnitude at most 2^31), into factors in the same order.
void Factorize(qint64 first, qint64 last, std::span<Factors> factors);

// Calls visit(a, b) for the divisors b of a (with its factors f) from lowest to highest, of
// either sign, in the same order every time, until visit returns false. -2^31 : -1 is left
// out: the quotient 2^31 is beyond 32 bits.
template <typename Visit>
void ForEachDivisor(qint64 a, const Factors &f, qint64 lowest, qint64 highest, Visit visit)
{
    std::array<qint64, 1600> all; // no number up to 2^31 has more divisors
    size_t count = 1;
    all[0] = 1;
    for (int j = 0; j < f.count; ++j) {
        const size_t lower = count;
        const qint64 p = f.primes[j];
        for (qint64 factor = p, k = 1; k <= f.powers[j]; ++k, factor *= p)
            for (size_t i = 0; i < lower; ++i)
                all[count++] = all[i] * factor;
    }
    for (size_t i = 0; i < count; ++i) {
        const qint64 d = all[i];
        for (const qint64 b : {d, -d}) {
            if (b >= lowest && b <= highest && !(a == kMin32 && b == -1) && !visit(a, b))
                return;
        }
    }
}
