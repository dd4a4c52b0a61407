#pragma once

#include "Clock.h"
#include "QuizSettings.h"
#include "RandomSource.h"

#include <optional>

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
