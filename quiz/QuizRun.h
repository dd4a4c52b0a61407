#pragma once

#include "CalculatorProbe.h"
#include "Clock.h"
#include "ExampleGenerator.h"
#include "QuizDialogs.h"
#include "QuizSettings.h"
#include "RandomSource.h"

#include <optional>

inline constexpr int kQuestionCount = 12;

struct QuizOutcome
{
    qint32 CorrectCount = 0;
    // Only the time the input dialogs were open.
    double ThinkingSeconds = 0.0;
};

// What the quiz needs from the outside world; the program has one real set.
struct QuizServices
{
    QuizDialogs &dialogs;
    RandomSource &random;
    Clock &clock;
    CalculatorProbe &calculator;
};

// Sets CalculatorSeen when the calculator's window is open; never clears it.
void CheckCalculator(QuizSettings &settings, CalculatorProbe &probe);

// Asks the twelve questions. Nothing when the program was ended inside (the generator gave up
// or the pupil gave an empty answer): then EndProgram has been called.
std::optional<QuizOutcome> RunQuiz(QuizSettings &settings, const QuizServices &services);
