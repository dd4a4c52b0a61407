#pragma once

#include "Operation.h"

#include <QString>

// Everything the start window chooses, the quiz reads and the results window reports.
// A fresh record is all zero, empty and false (so Operation starts as Addition).
struct QuizSettings
{
    QString StudentName;
    qint32 Min1 = 0;
    qint32 Max1 = 0;
    qint32 Min2 = 0;
    qint32 Max2 = 0;
    ::Operation Operation = ::Operation::Addition;
    bool Difficult = false;
    bool IntellectualMode = false;
    // Set by the calculator watch during the questions; only the start of a quiz clears it.
    bool CalculatorSeen = false;
};
