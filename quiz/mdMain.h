#pragma once

#include "CalculatorProbe.h"
#include "QuizDialogs.h"
#include "QuizRun.h"
#include "QuizSettings.h"

#include <memory>
#include <optional>

// The process-wide quiz state: the one QuizSettings record, the real dialogs and clock made on
// first use, and the calculator probe given at start-up, all kept until the process ends.
namespace mdMain {

QuizSettings &Settings();

// The phrase tables are constant; this marker tells the start window that its loading has got
// past the step that fills them, so that the name-change handling may run.
void FillPhraseTables();
bool PhraseTablesFilled();

// Samples the calculator's window into Settings().CalculatorSeen.
void CheckCalculator();

// Runs the quiz on Settings() with a generator seeded now and the process's services.
std::optional<QuizOutcome> RunQuiz();

QuizDialogs &Dialogs();

// The calculator probe of the window system, given by main; the dialogs are replaced in tests.
void UseDialogs(std::unique_ptr<QuizDialogs> dialogs);
void UseCalculatorProbe(std::unique_ptr<CalculatorProbe> probe);

} // namespace mdMain
