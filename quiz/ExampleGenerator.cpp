#include "ExampleGenerator.h"

#include <cmath>
#include <limits>

namespace {

constexpr qint64 kMin32 = std::numeric_limits<qint32>::min();
constexpr qint64 kMax32 = std::numeric_limits<qint32>::max();

std::optional<qint32> Fit32(qint64 value)
{
    if (value < kMin32 || value > kMax32)
        return std::nullopt;
    return static_cast<qint32>(value);
}

// abs(a)^b, negated for a negative base and an odd exponent; nothing when it overflows.
std::optional<qint32> IntegerPower(qint32 a, qint32 b)
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
    return Fit32(negative ? -magnitude : magnitude);
}

// The largest k >= 0 with a^k <= b (a >= 2, b >= 1), and a^k itself.
struct FloorLog
{
    qint32 exponent;
    qint64 power;
};

FloorLog IntegerLogarithm(qint32 a, qint32 b)
{
    FloorLog result{0, 1};
    while (result.power <= b / a) {
        result.power *= a;
        ++result.exponent;
    }
    return result;
}

} // namespace

std::optional<qint32> JudgePair(Operation op, bool difficult, qint32 a, qint32 b)
{
    const qint64 wa = a;
    const qint64 wb = b;
    switch (op) {
    case Operation::Addition:
        if (difficult && b == 0)
            return std::nullopt;
        return Fit32(wa + wb);
    case Operation::Subtraction:
        if (!difficult && wa - wb < 0)
            return std::nullopt;
        return Fit32(wa - wb);
    case Operation::Multiplication:
        if (difficult && (a == 0 || b == 0))
            return std::nullopt;
        return Fit32(wa * wb);
    case Operation::Division:
        if (b == 0 || (!difficult && wa % wb != 0))
            return std::nullopt;
        return Fit32(wa / wb);
    case Operation::Remainder:
        if (b == 0 || (difficult && b == 1))
            return std::nullopt;
        return Fit32(wa % wb);
    case Operation::Power:
        if (b < 0 || (a == 0 && b == 0) || (!difficult && a < 0))
            return std::nullopt;
        return IntegerPower(a, b);
    case Operation::Logarithm: {
        if (b < 1 || a < 2)
            return std::nullopt;
        const FloorLog log = IntegerLogarithm(a, b);
        if (!difficult && log.power != b)
            return std::nullopt;
        return log.exponent;
    }
    }
    return std::nullopt;
}

qint32 DrawOperand(double r, qint32 min, qint32 max)
{
    // The count is formed in 64 bits so that the full 32-bit range does not overflow.
    const qint64 count = static_cast<qint64>(max) - min + 1;
    const double offset = std::floor(r * static_cast<double>(count));
    return static_cast<qint32>(static_cast<qint64>(offset) + min);
}

std::optional<Example> DrawExample(const QuizSettings &settings, RandomSource &random, Clock &clock)
{
    const double start = clock.Seconds();
    while (clock.Seconds() - start <= kGiveUpSeconds) {
        const qint32 a = DrawOperand(random.NextUniform(), settings.Min1, settings.Max1);
        const qint32 b = DrawOperand(random.NextUniform(), settings.Min2, settings.Max2);
        if (const auto answer = JudgePair(settings.Operation, settings.Difficult, a, b))
            return Example{a, b, *answer};
    }
    return std::nullopt;
}
