#pragma once

#include "CalculatorProbe.h"
#include "Clock.h"
#include "QuizDialogs.h"
#include "RandomSource.h"

#include <QStringList>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

// Gives the listed values in turn, then starts again from the first.
struct ScriptedRandom final : RandomSource
{
    explicit ScriptedRandom(std::vector<double> v) : values(std::move(v)) {}
    double NextUniform() override { return values[drawn++ % values.size()]; }
    std::vector<double> values;
    size_t drawn = 0;
};

// Time moves only when read, by a fixed step, or when a test moves it. The default step makes a
// generator that finds nothing give up instead of spinning for ever.
struct FakeClock final : Clock
{
    double now = 1000.0;
    double stepPerReading = 0.01;
    double Seconds() override { return std::exchange(now, now + stepPerReading); }
};

// One scripted answer per call; the last one repeats. A test may let time pass while probing.
struct FakeCalculatorProbe final : CalculatorProbe
{
    std::vector<bool> answers{false};
    int calls = 0;
    std::function<void()> whileProbing = [] {};
    bool CalculatorWindowOpen() override
    {
        whileProbing();
        return answers[std::min<size_t>(calls++, answers.size() - 1)];
    }
};

// Answers questions from a script, and once it has run out presses OK on the pre-filled text;
// records every dialog, each message as "icon|title|text" with "-" for an absent title. A test
// may let time pass while a dialog is open.
struct ScriptedDialogs final : QuizDialogs
{
    QStringList answers, prompts, titles, defaults, messages;
    bool ended = false;
    std::function<void()> whileAsking = [] {}, whileShowing = [] {};

    QString AskText(const QString &prompt, const QString &title, const QString &initial) override
    {
        prompts << prompt;
        titles << title;
        defaults << initial;
        whileAsking();
        return answers.value(prompts.size() - 1, initial);
    }
    void ShowMessage(const QString &text, MessageIcon icon,
                     const std::optional<QString> &title) override
    {
        const char *const icons[] = {"None", "Information", "Warning", "Error"};
        messages << QString::fromLatin1(icons[int(icon)]) + u'|' +
                        title.value_or(QStringLiteral("-")) + u'|' + text;
        whileShowing();
    }
    void EndProgram() override { ended = true; }
};
