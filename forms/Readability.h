#pragma once

#include <QColor>

// The contrast of two colours as WCAG 2 computes it, from 1 (the same) to 21 (black and white).
qreal ContrastRatio(const QColor &a, const QColor &b);

// The least contrast WCAG 2 asks of normal text.
inline constexpr qreal kReadableContrast = 4.5;

// The colour itself where it reads on the background at kReadableContrast; otherwise the same
// hue made just light enough (or, on a background too light for that, just dark enough).
QColor ReadableOn(const QColor &text, const QColor &background);
