#pragma once

#include <QtGlobal>

#include <compare>

// An unsigned 128-bit number in two 64-bit halves, for the exact candidate counts (up to 2^64)
// and the 64 x 64-bit products of the uniform draw. 32-bit ARM compilers have no 128-bit
// integer, so only what those need is written out here.
struct Wide
{
    quint64 high = 0, low = 0; // in this order, so that the comparisons compare high first

    constexpr Wide() = default;
    constexpr Wide(quint64 value) : low(value) {}
    constexpr Wide(quint64 highHalf, quint64 lowHalf) : high(highHalf), low(lowHalf) {}

    friend constexpr auto operator<=>(const Wide &, const Wide &) = default;

    constexpr Wide &operator+=(Wide other)
    {
        const quint64 sum = low + other.low;
        high += other.high + (sum < low);
        low = sum;
        return *this;
    }
    friend constexpr Wide operator+(Wide a, Wide b) { return a += b; }
    // Times 2^bits, for 0 < bits < 64.
    friend constexpr Wide operator<<(Wide a, int bits)
    {
        return {a.high << bits | a.low >> (64 - bits), a.low << bits};
    }

    // The number, or the largest 64-bit one when it does not fit.
    constexpr quint64 Clamped() const { return high != 0 ? ~quint64(0) : low; }
    double ToDouble() const { return double(high) * 0x1p64 + double(low); }
};

// a * b from four 32 x 32-bit products (Hacker's Delight, 8-2): none of the sums can carry out.
constexpr Wide MultiplyInHalves(quint64 a, quint64 b)
{
    constexpr quint64 kLow32 = 0xffffffff;
    const quint64 lowLow = (a & kLow32) * (b & kLow32);
    const quint64 highLow = (a >> 32) * (b & kLow32);
    const quint64 lowHigh = (a & kLow32) * (b >> 32);
    const quint64 middle = (lowLow >> 32) + (highLow & kLow32) + lowHigh;
    return {(a >> 32) * (b >> 32) + (highLow >> 32) + (middle >> 32),
            middle << 32 | (lowLow & kLow32)};
}

// a * b exactly, in one instruction where the compiler has 128-bit integers.
constexpr Wide Multiply(quint64 a, quint64 b)
{
#ifdef __SIZEOF_INT128__
    const unsigned __int128 product = static_cast<unsigned __int128>(a) * b;
    return {static_cast<quint64>(product >> 64), static_cast<quint64>(product)};
#else
    return MultiplyInHalves(a, b);
#endif
}
