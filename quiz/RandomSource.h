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
class Xoshiro256 final : public RandomSource
{
  public:
    explicit Xoshiro256(quint64 seed);
    double NextUniform() override { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    quint64 Next();

  private:
    std::array<quint64, 4> m_state;
};

// A seed taken from the current time, different for every quiz.
quint64 SeedFromTimeOfDay();
