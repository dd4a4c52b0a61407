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

// Draws pairs until one is acceptable (AcceptanceRules.h); nothing once the clock shows more
// than kGiveUpSeconds without one. After a first batch of attempts without an acceptable pair
// it counts the candidates and, when they are sparse, draws them instead of operand pairs. The
// loop's result is uniform over the acceptable pairs, and so is the direct draw's; either way
// the question is too.
std::optional<Example> DrawExample(const QuizSettings &settings, RandomSource &random,
                                   Clock &clock);
