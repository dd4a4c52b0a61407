#pragma once

#include <QtGlobal>

#include <limits>
#include <optional>

// The program's numbers (operands, answers, bounds, stored values) are signed 32-bit; wider
// intermediate results are checked against these before they are kept.
inline constexpr qint64 kMin32 = std::numeric_limits<qint32>::min();
inline constexpr qint64 kMax32 = std::numeric_limits<qint32>::max();

// The value when it fits in a signed 32-bit integer, otherwise nothing.
constexpr std::optional<qint32> FitInt32(qint64 value)
{
    if (value < kMin32 || value > kMax32)
        return std::nullopt;
    return static_cast<qint32>(value);
}
