#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <optional>

// Reads a range bound typed on the start window, the way the pupil's regional settings write
// numbers, as QLocale reads them: their digits, sign and grouping (Indian groups of two too), and
// an optional fraction after the locale's decimal mark, also one with no whole part (",7"), which
// is rounded to the nearest integer, halves to even. Blanks around the number and invisible
// direction marks are ignored; where the locale groups with a kind of space, any kind of space
// groups. Nothing for empty text, anything that is not such a number (exponents, "inf", "nan",
// misplaced separators) and values outside the signed 32-bit range.
std::optional<qint32> ParseBound(const QString &text, const QLocale &locale);

// A bound as the start window's warning writes it among Russian words: the locale's own form,
// unless that has right-to-left digits or signs, which would be reordered among the words; then
// Latin digits with a leading minus, which ParseBound reads in any locale.
QString BoundText(qint32 value, const QLocale &locale);
