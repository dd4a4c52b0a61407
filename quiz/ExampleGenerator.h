#pragma once

#include "Clock.h"
#include "QuizSettings.h"
#include "RandomSource.h"

#include <optional>
#include <utility>
#include <vector>

struct Example
{
    qint32 FirstOperand = 0;
    qint32 SecondOperand = 0;
    qint32 Answer = 0;
};

// The generator gives up when no acceptable pair turned up for longer than this.
inline constexpr double kGiveUpSeconds = 5.0;
// The clock is read when a question starts and after every so many attempts. An attempt takes
// a few nanoseconds (a direct draw, below, about a hundred), so the limit is overshot by well
// under a millisecond, while the readings cost about one per cent of the loop instead of most.
inline constexpr int kAttemptsPerClockReading = 1024;
// A question whose first batch of attempts found nothing counts the candidate pairs
// (CandidatePairs) and draws straight from them when they are fewer than one in this many of
// all pairs. At or above this share the loop stays: about a quarter of the candidates or more
// are acceptable (the rules reject the edges of a block, one row or column, or easy negative
// bases), so the loop accepts one pair in at most about 256 attempts, finds one within about
// 1200 (microseconds) 99 times in 100 and never comes near 5 seconds. Below it the loop needs
// more attempts per acceptable pair than counting (microseconds) and drawing directly cost.
inline constexpr int kDirectBelowShare = 64;

// The answer to a op b when the pair is acceptable for the operation and difficulty, or
// nothing when a rule rejects it. A pair whose answer does not fit in 32 bits is rejected too.
std::optional<qint32> JudgePair(Operation op, bool difficult, qint32 a, qint32 b);

// Operands from min..max: floor(r * (max - min + 1)) + min, with the count formed in 64 bits so
// that the full 32-bit range does not overflow. A lower bound above the upper one is not
// swapped (10..1 gives 2..10).
class OperandRange
{
  public:
    OperandRange(qint32 min, qint32 max)
        : m_min(min), m_count(static_cast<double>(static_cast<qint64>(max) - min + 1))
    {
    }

    qint32 Draw(double r) const
    {
        const double scaled = r * m_count;
        // The floor without a library call: truncation, which for a reversed range (negative
        // count) is one too high for a negative non-integer.
        qint64 offset = static_cast<qint64>(scaled);
        if (m_count < 0)
            offset -= static_cast<double>(offset) > scaled;
        return static_cast<qint32>(offset + m_min);
    }

    // The values Draw gives, each with weight 1 / |count|: min..max, or max + 1..min - 1 for a
    // reversed range; a count of 0 gives min only. A reversed range gives min itself only for
    // r = 0 exactly, with weight 2^-53, which the direct draw leaves out: in the loop a pair
    // with that operand is 2^-53 * |count| (at most 2^-21) times as likely as any other.
    qint64 Lowest() const { return m_count >= 0 ? m_min : m_min + static_cast<qint64>(m_count); }
    qint64 Highest() const
    {
        return m_count > 0 ? m_min + static_cast<qint64>(m_count) - 1
                           : m_min - (m_count < 0 ? 1 : 0);
    }

  private:
    qint64 m_min;
    double m_count;
};

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

// One operand from min..max, as OperandRange(min, max).Draw(r).
qint32 DrawOperand(double r, qint32 min, qint32 max);

// A superset of the pairs that the rules can accept, within the values the operand draws give,
// as rectangles of (x, y): a and b themselves, or b and the quotient for easy division, or the
// base and the exponent for easy logarithms. They come from the 32-bit limits and the few
// conditions that bound a rectangle (no negative easy difference, exponents from 0); JudgePair
// alone decides, so a uniform candidate that the rules accept is a uniform acceptable pair.
class CandidatePairs
{
  public:
    explicit CandidatePairs(const QuizSettings &settings);

    // Exact up to 2^64 - 1 (only both full 32-bit ranges could reach 2^64).
    quint64 Count() const;
    // Count() divided by the number of pairs the operand draws give.
    double Share() const { return m_share; }
    // Whether a question draws from the candidates instead of from the operand ranges.
    bool Direct() const { return m_count > 0 && m_share * kDirectBelowShare < 1; }
    // The candidate at 0 <= index < Count(), as (a, b), or nothing for the easy divisions whose
    // a falls outside the first operand's values (a block of divisors shares the quotients of
    // its first one, so its last ones may overshoot).
    std::optional<std::pair<qint32, qint32>> Pair(quint64 index) const;

  private:
    enum class Coordinates : quint8
    {
        Operands,        // (a, b)
        BaseExponent,    // (a, k) for b = a^k
        DivisorQuotient, // (b, q) for a = b * q
    };
    struct Rectangle
    {
        qint64 x0, x1, y0, y1;
    };

    Coordinates m_coordinates = Coordinates::Operands;
    qint64 m_lowestFirst = 0, m_highestFirst = 0;
    std::vector<Rectangle> m_rectangles;
    std::vector<unsigned __int128> m_ends; // candidates in the rectangles up to each one
    unsigned __int128 m_count = 0;
    double m_share = 0;
};

// Draws pairs until one is acceptable; nothing once the clock, read every
// kAttemptsPerClockReading attempts, shows more than kGiveUpSeconds without one. After a first
// batch of attempts without an acceptable pair it counts the candidates and, when they are
// sparse, draws them instead of operand pairs. The loop's result is uniform over the
// acceptable pairs, and so is the direct draw's; either way the question is too.
std::optional<Example> DrawExample(const QuizSettings &settings, RandomSource &random,
                                   Clock &clock);

// DrawExample that also tells how many pairs it drew, for measuring the generator.
struct CountedDraw
{
    std::optional<Example> example;
    quint64 attempts = 0;
    bool direct = false; // whether the candidates were drawn
};
CountedDraw DrawExampleCounted(const QuizSettings &settings, RandomSource &random, Clock &clock);
// Draws only candidates from the start, as DrawExample does once they are sparse.
CountedDraw DrawCandidates(const QuizSettings &settings, RandomSource &random, Clock &clock);
