#pragma once

#include "CalculatorProbe.h"
#include "Clock.h"
#include "QuizDialogs.h"
#include "RandomSource.h"

#include <QStringList>

#include <functional>
#include <vector>

// Gives the listed values in turn, then starts again from the first.
class ScriptedRandom final : public RandomSource
{
  public:
    explicit ScriptedRandom(std::vector<double> values) : m_values(std::move(values)) {}
    double NextUniform() override
    {
        const double r = m_values[m_next % m_values.size()];
        ++m_next;
        return r;
    }
    size_t drawn() const { return m_next; }

  private:
    std::vector<double> m_values;
    size_t m_next = 0;
};

// Time stands still unless a test moves it; each reading may also move it by a fixed step.
class FakeClock final : public Clock
{
  public:
    double Seconds() override
    {
        const double now = m_now;
        m_now += m_stepPerReading;
        return now;
    }
    void advance(double seconds) { m_now += seconds; }
    void setStepPerReading(double seconds) { m_stepPerReading = seconds; }

  private:
    double m_now = 1000.0;
    double m_stepPerReading = 0.0;
};

class FakeCalculatorProbe final : public CalculatorProbe
{
  public:
    // One answer per call; after the script runs out the last answer repeats.
    std::vector<bool> answers{false};
    int calls = 0;
    bool CalculatorWindowOpen() override
    {
        const size_t i = std::min<size_t>(static_cast<size_t>(calls), answers.size() - 1);
        ++calls;
        return answers[i];
    }
};

// Records every dialog; answers questions from a script and may let time pass while a dialog
// is open.
class ScriptedDialogs final : public QuizDialogs
{
  public:
    struct Message
    {
        QString text;
        MessageIcon icon;
        std::optional<QString> title;
    };

    QStringList answers;
    QStringList prompts;
    QStringList titles;
    std::vector<Message> messages;
    bool ended = false;
    std::function<void()> whileAsking;
    std::function<void()> whileShowing;

    QString AskText(const QString &prompt, const QString &title,
                    const QString &defaultText) override
    {
        prompts << prompt;
        titles << title;
        defaults << defaultText;
        if (whileAsking)
            whileAsking();
        return answers.value(prompts.size() - 1);
    }
    void ShowMessage(const QString &text, MessageIcon icon,
                     const std::optional<QString> &title) override
    {
        messages.push_back({text, icon, title});
        if (whileShowing)
            whileShowing();
    }
    void EndProgram() override { ended = true; }

    QStringList defaults;
};
