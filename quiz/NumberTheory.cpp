#include "NumberTheory_p.h"

#include "Wide.h"

namespace {

// The primes up to 46340, which has the largest square below 2^31, each with c = ceil(2^64 / p):
// n mod p is then the top 64 bits of (c * n mod 2^64) * p, and p divides n exactly when
// c * n mod 2^64 < c (as DivisibilityTest), for n below 2^32. Worked out when compiling.
struct SmallPrime
{
    quint64 p, c;
    quint64 Remainder(quint64 n) const { return Multiply(c * n, p).high; }
    bool Divides(quint64 n) const { return c * n <= c - 1; }
};

constexpr std::array<SmallPrime, 4792> kSmallPrimes = [] {
    constexpr int kLimit = 46340;
    std::array<bool, kLimit + 1> composite{};
    std::array<SmallPrime, 4792> primes{};
    size_t count = 0;
    for (int p = 2; p <= kLimit; ++p) {
        if (composite[p])
            continue;
        primes.at(count++) = {quint64(p), ~quint64(0) / quint64(p) + 1};
        for (int multiple = p * p; multiple <= kLimit; multiple += p)
            composite[multiple] = true;
    }
    return count == primes.size() ? primes : throw "not every prime up to 46340";
}();

} // namespace

// The small primes are sieved out of all the numbers at once (a few steps a number), and what
// is left above 1 is one prime above the square root.
void Factorize(qint64 first, qint64 last, std::span<Factors> factors)
{
    const bool negative = last < 0;
    const qint64 lo = negative ? -last : first; // magnitudes
    const qint64 hi = negative ? -first : last;
    const size_t count = size_t(hi - lo + 1);
    std::array<quint64, kFactoredAtOnce> rest;
    const auto of = [&](size_t i) -> Factors & { return factors[negative ? count - 1 - i : i]; };
    for (size_t i = 0; i < count; ++i) {
        rest[i] = quint64(lo) + i;
        of(i).count = 0;
    }
    for (const SmallPrime &prime : kSmallPrimes) {
        const qint64 p = qint64(prime.p);
        if (p * p > hi)
            break;
        const qint64 remainder = qint64(prime.Remainder(quint64(lo)));
        for (qint64 m = lo + (remainder == 0 ? 0 : p - remainder); m <= hi; m += p) {
            const size_t i = size_t(m - lo);
            Factors &f = of(i);
            f.primes[f.count] = quint32(p);
            for (f.powers[f.count] = 0; prime.Divides(rest[i]); rest[i] /= prime.p)
                ++f.powers[f.count];
            ++f.count;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        Factors &f = of(i);
        if (rest[i] > 1) { // one prime factor above the root is left
            f.primes[f.count] = quint32(rest[i]);
            f.powers[f.count++] = 1;
        }
    }
}
