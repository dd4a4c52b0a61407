#pragma once

#include "QuizRun.h"
#include "QuizSettings.h"

#include <QString>

// The pass mark out of the twelve questions.
inline constexpr int kPassMark = 10;

// The texts of the results window.
struct ResultSummary
{
    QString NameText;
    bool Passed = false;
    QString CountText;
    QString TimeText;
};

ResultSummary MakeResultSummary(const QuizOutcome &outcome, const QuizSettings &settings);

// The sentence about the right answers, in agreement with the number.
QString CountText(qint32 correctCount);
// The thinking time in seconds up to 125 s, in whole minutes above, with the Russian ending.
QString FormatThinkingTime(double seconds);
// Operation symbol, the four bounds and the D/C flags, shown on request for the teacher.
QString DiagnosticLine(const QuizSettings &settings);
