#pragma once

#include <QtGlobal>

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
