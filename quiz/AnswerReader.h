#pragma once

#include <QString>

#include <optional>

// Reads a typed answer: leading blanks (no-break spaces too), an optional sign ("-", "+" or the
// typographic minus U+2212), digits, an optional full stop and digits; reading stops at anything
// else and text without a number is 0. The value is rounded to the nearest integer, halves to
// even. Nothing when it does not fit in 32 bits.
std::optional<qint32> ReadAnswer(const QString &text);
