#pragma once

// The generator as the tests and the benchmarks measure it.

#include "ExampleGenerator.h"

// DrawExample that also tells how many pairs it drew.
struct CountedDraw
{
    std::optional<Example> example;
    quint64 attempts = 0;
    bool direct = false; // whether the candidates were drawn
};
CountedDraw DrawExampleCounted(const QuizSettings &settings, RandomSource &random, Clock &clock);
// Draws only candidates from the start, as DrawExample does once they are sparse.
CountedDraw DrawCandidates(const QuizSettings &settings, RandomSource &random, Clock &clock);
