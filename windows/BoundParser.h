#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <optional>

// Reads a range bound typed on the start window, the way the pupil's regional settings write
// numbers: an optional sign, digits grouped in threes by the locale's group separator (or
// ungrouped), and an optional fraction after the locale's decimal mark, which is rounded to
// the nearest integer, halves to even. Blanks around the number are ignored; where the locale
// groups with a non-breaking space an ordinary blank groups too. Nothing for empty text,
// anything that is not such a number (exponents, "inf", "nan", misplaced separators) and
// values outside the signed 32-bit range.
std::optional<qint32> ParseBound(const QString &text, const QLocale &locale);
