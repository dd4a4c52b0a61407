#pragma once

#include <QRect>
#include <QtGlobal>

// Window geometry is laid out in twips, 1440 to the inch, and turned into pixels with the
// screen's logical DPI (15 twips to the pixel at 96 DPI), so that the windows keep their
// proportions on any screen.
inline constexpr int kTwipsPerInch = 1440;

int TwipsToPixels(int twips, qreal dpi);

// Rounds the edges rather than the size, so that controls which meet in twips still meet in
// pixels and a row of equal controls keeps its spacing.
QRect TwipsToRect(int left, int top, int width, int height, qreal dpiX, qreal dpiY);
