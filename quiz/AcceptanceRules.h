#pragma once

#include "Int32.h"
#include "Operation.h"

#include <cstdlib>
#include <optional>

// Which pairs each operation asks and what it expects: one function per operation, in easy
// (difficult false) and difficult mode. Each gives the answer to a op b, or nothing when a rule
// rejects the pair; a pair whose answer does not fit in 32 bits is rejected too. The tests of a
// rule run in order, and the answer is computed only past those that guard it. The functions
// are inline so that the generator's loop, compiled once for each rule, inlines them.

// The answer to a op b for any operation, or nothing when the pair is rejected.
std::optional<qint32> JudgePair(Operation op, bool difficult, qint32 a, qint32 b);

// abs(a)^b, negated for a negative base and an odd exponent; nothing when it overflows.
inline std::optional<qint32> IntegerPower(qint32 a, qint32 b)
{
    const qint64 base = std::abs(static_cast<qint64>(a));
    const bool negative = a < 0 && (b % 2 != 0);
    qint64 magnitude = 1;
    if (base <= 1) {
        magnitude = (base == 0 && b > 0) ? 0 : 1;
    } else {
        // base >= 2 overflows 32 bits by the 32nd factor, so this loop is short.
        for (qint32 i = 0; i < b; ++i) {
            magnitude *= base;
            if (magnitude > kMax32 + 1)
                return std::nullopt;
        }
    }
    return FitInt32(negative ? -magnitude : magnitude);
}

// The largest k >= 0 with a^k <= b (a >= 2, b >= 1), and a^k itself.
struct FloorLog
{
    qint32 exponent;
    qint64 power;
};

inline FloorLog IntegerLogarithm(qint32 a, qint32 b)
{
    FloorLog result{0, 1};
    while (result.power <= b / a) {
        result.power *= a;
        ++result.exponent;
    }
    return result;
}

// Difficult additions never add 0 as the second operand.
inline std::optional<qint32> JudgeAddition(bool difficult, qint32 a, qint32 b)
{
    if (difficult && b == 0)
        return std::nullopt;
    return FitInt32(qint64(a) + b);
}

// Easy subtractions never have a negative answer.
inline std::optional<qint32> JudgeSubtraction(bool difficult, qint32 a, qint32 b)
{
    const qint64 difference = qint64(a) - b;
    if (!difficult && difference < 0)
        return std::nullopt;
    return FitInt32(difference);
}

// Difficult multiplications never have a zero factor.
inline std::optional<qint32> JudgeMultiplication(bool difficult, qint32 a, qint32 b)
{
    if (difficult && (a == 0 || b == 0))
        return std::nullopt;
    return FitInt32(qint64(a) * b);
}

// Never by 0; easy divisions are exact. The quotient is truncated toward zero.
inline std::optional<qint32> JudgeDivision(bool difficult, qint32 a, qint32 b)
{
    if (b == 0 || (!difficult && qint64(a) % b != 0))
        return std::nullopt;
    return FitInt32(qint64(a) / b);
}

// Never by 0, and difficult ones never by 1. The remainder has the sign of a.
inline std::optional<qint32> JudgeRemainder(bool difficult, qint32 a, qint32 b)
{
    if (b == 0 || (difficult && b == 1))
        return std::nullopt;
    return FitInt32(qint64(a) % b);
}

// No negative exponent and no 0^0; easy powers have no negative base.
inline std::optional<qint32> JudgePower(bool difficult, qint32 a, qint32 b)
{
    if (b < 0 || (a == 0 && b == 0) || (!difficult && a < 0))
        return std::nullopt;
    return IntegerPower(a, b);
}

// The integer part of the logarithm of b >= 1 to the base a >= 2; easy ones only where b is a
// power of a.
inline std::optional<qint32> JudgeLogarithm(bool difficult, qint32 a, qint32 b)
{
    if (b < 1 || a < 2)
        return std::nullopt;
    // Easy mode wants b = a^k, and for k >= 1 a divides b: most pairs need no powers counted.
    if (!difficult && b != 1 && b % a != 0)
        return std::nullopt;
    const FloorLog log = IntegerLogarithm(a, b);
    if (!difficult && log.power != b)
        return std::nullopt;
    return log.exponent;
}
