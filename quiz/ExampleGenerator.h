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

// The answer to a op b when the pair is acceptable for the operation and difficulty, or
// nothing when a rule rejects it. A pair whose answer does not fit in 32 bits is rejected too.
std::optional<qint32> JudgePair(Operation op, bool difficult, qint32 a, qint32 b);

// One operand from min..max: floor(r * (max - min + 1)) + min. A lower bound above the upper
// one is not swapped (10..1 gives 2..10).
qint32 DrawOperand(double r, qint32 min, qint32 max);

// Draws pairs until one is acceptable; nothing after more than kGiveUpSeconds without one.
std::optional<Example> DrawExample(const QuizSettings &settings, RandomSource &random,
                                   Clock &clock);
