#pragma once

#include <QtGlobal>

#include <array>

// Uniform values 0 <= r < 1 for drawing operands. Tests script the values; the program uses
// Xoshiro256.
class RandomSource
{
  public:
    virtual ~RandomSource() = default;
    virtual double NextUniform() = 0;
};

// xoshiro256** by Blackman and Vigna: fast, small state, and every value of a 32-bit range
// can come out because r carries the full 53 bits of a double.
// Next() is defined here so that the generator's loop can inline it.
class Xoshiro256 final : public RandomSource
{
  public:
    explicit Xoshiro256(quint64 seed);
    double NextUniform() override { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    quint64 Next()
    {
        const quint64 result = RotateLeft(m_state[1] * 5, 7) * 9;
        const quint64 t = m_state[1] << 17;
        m_state[2] ^= m_state[0];
        m_state[3] ^= m_state[1];
        m_state[1] ^= m_state[2];
        m_state[0] ^= m_state[3];
        m_state[2] ^= t;
        m_state[3] = RotateLeft(m_state[3], 45);
        return result;
    }

  private:
    static quint64 RotateLeft(quint64 x, int k) { return (x << k) | (x >> (64 - k)); }

    std::array<quint64, 4> m_state;
};

// A seed taken from the current time, different for every quiz.
quint64 SeedFromTimeOfDay();
