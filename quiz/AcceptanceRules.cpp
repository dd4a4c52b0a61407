#include "AcceptanceRules.h"

std::optional<qint32> JudgePair(Operation op, bool difficult, qint32 a, qint32 b)
{
    switch (op) {
    case Operation::Addition:
        return JudgeAddition(difficult, a, b);
    case Operation::Subtraction:
        return JudgeSubtraction(difficult, a, b);
    case Operation::Multiplication:
        return JudgeMultiplication(difficult, a, b);
    case Operation::Division:
        return JudgeDivision(difficult, a, b);
    case Operation::Remainder:
        return JudgeRemainder(difficult, a, b);
    case Operation::Power:
        return JudgePower(difficult, a, b);
    case Operation::Logarithm:
        return JudgeLogarithm(difficult, a, b);
    }
    return std::nullopt;
}
