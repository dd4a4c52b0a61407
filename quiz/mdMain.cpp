#include "mdMain.h"

#include "QtQuizDialogs.h"

#include <QtGlobal>

namespace mdMain {
namespace {

struct State
{
    QuizSettings settings;
    bool phraseTablesFilled = false;
    std::unique_ptr<QuizDialogs> dialogs;
    std::unique_ptr<CalculatorProbe> calculator;
    MonotonicClock clock;
};

State &TheState()
{
    static State *state = new State; // lives until the process ends, never destroyed
    return *state;
}

CalculatorProbe &Calculator()
{
    State &s = TheState();
    if (!s.calculator) // the program gives its probe at start-up, a test its fake
        qFatal("mdMain: the quiz was started without a calculator probe");
    return *s.calculator;
}

} // namespace

QuizSettings &Settings()
{
    return TheState().settings;
}

void FillPhraseTables()
{
    TheState().phraseTablesFilled = true;
}

bool PhraseTablesFilled()
{
    return TheState().phraseTablesFilled;
}

void CheckCalculator()
{
    ::CheckCalculator(Settings(), Calculator());
}

QuizDialogs &Dialogs()
{
    State &s = TheState();
    if (!s.dialogs)
        s.dialogs = std::make_unique<QtQuizDialogs>();
    return *s.dialogs;
}

std::optional<QuizOutcome> RunQuiz()
{
    Xoshiro256 random(SeedFromTimeOfDay());
    return ::RunQuiz(Settings(), QuizServices{Dialogs(), random, TheState().clock, Calculator()});
}

void UseDialogs(std::unique_ptr<QuizDialogs> dialogs)
{
    TheState().dialogs = std::move(dialogs);
}

void UseCalculatorProbe(std::unique_ptr<CalculatorProbe> probe)
{
    TheState().calculator = std::move(probe);
}

} // namespace mdMain
