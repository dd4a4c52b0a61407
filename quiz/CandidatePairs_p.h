#pragma once

#include "QuizSettings.h"
#include "Wide.h"

#include <array>
#include <optional>
#include <utility>
#include <vector>

// A question whose first batch of attempts found nothing counts the candidate pairs
// (CandidatePairs) and draws straight from them when they are fewer than one in this many of
// all pairs. At or above this share the loop stays: at least a quarter of the candidates are
// acceptable (a sixty-fourth in the bands of easy divisions), so the loop accepts one pair in
// at most 256 attempts (4096), finds one within about 1200 (19 000, some 70 microseconds)
// 99 times in 100 and never comes near 5 seconds. Below it the loop needs
// more attempts per acceptable pair than counting (microseconds) and drawing directly cost.
inline constexpr int kDirectBelowShare = 64;

// A superset of the pairs that the rules can accept, within the values the operand draws give,
// as rectangles of (x, y): a and b themselves, or b and the quotient for easy division, or the
// base and the exponent for easy logarithms; an easy division of a few dividends away from 0
// has instead each dividend's divisors. They leave out every region that a rule always rejects
// (results beyond 32 bits, negative easy differences, second operands 0 and 1 where the rule
// forbids them, zero factors, 0^0, easy negative bases), so that there are none exactly when
// no pair is acceptable, and at least a quarter of them are acceptable: what remains rejected
// are corners of sums and differences beyond 32 bits, products outside the rows of a block of
// them, and quotients outside the dividends of an easy division; where those dividends stay
// away from 0, a band between two hyperbolas, blocks keep a sixty-fourth. JudgePair alone decides,
// so a uniform candidate that the rules accept is a uniform acceptable pair.
class CandidatePairs
{
  public:
    // How an easy division of dividends away from 0 finds its candidates: each dividend's
    // divisors listed, or the blocks of a band of quotients and divisors. The quicker is the
    // list up to as many dividends as the square root of the largest |a|, the band beyond;
    // tests take each way.
    enum class AwayFromZero : quint8
    {
        Quicker,
        Listed,
        Band,
    };
    explicit CandidatePairs(const QuizSettings &settings, AwayFromZero way = AwayFromZero::Quicker);

    // Exact up to 2^64 - 1 (only both full 32-bit ranges could reach 2^64).
    quint64 Count() const;
    // Count() divided by the number of pairs the operand draws give.
    double Share() const { return m_share; }
    // Whether a question draws from the candidates instead of from the operand ranges.
    bool Direct() const { return m_count > Wide(0) && m_share * kDirectBelowShare < 1; }
    // The candidate at 0 <= index < Count(), as (a, b), or nothing for the easy divisions whose
    // a falls outside the first operand's values (a block of rows covers its rows' hull). For
    // easy divisions of listed dividends it factors one and looks through its divisors.
    std::optional<std::pair<qint32, qint32>> Pair(quint64 index) const;

  private:
    void ListDivisors(qint64 lowestDivisor, qint64 highestDivisor);

    enum class Coordinates : quint8
    {
        Operands,        // (a, b)
        BaseExponent,    // (a, k) for b = a^k
        DivisorQuotient, // (b, q) for a = b * q
        Divisors,        // no rectangles: (a, b) for each dividend a and each divisor b of it
    };
    struct Rectangle // every coordinate fits in 32 bits, and there may be many
    {
        qint32 x0, x1, y0, y1;
    };

    Coordinates m_coordinates = Coordinates::Operands;
    qint64 m_lowestFirst = 0, m_highestFirst = 0;
    std::vector<Rectangle> m_rectangles;
    std::vector<quint16> m_divisorCounts; // for Divisors: each dividend's, from m_lowestFirst up
    qint64 m_lowestDivisor = 0, m_highestDivisor = 0;
    // Candidates in the rectangles up to each one, or in the dividends up to every 64th.
    std::vector<Wide> m_ends;
    Wide m_count;
    double m_share = 0;
};
