#include "Twips.h"

#include <cmath>

int TwipsToPixels(int twips, qreal dpi)
{
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

QRect TwipsToRect(int left, int top, int width, int height, qreal dpiX, qreal dpiY)
{
    const int x = TwipsToPixels(left, dpiX);
    const int y = TwipsToPixels(top, dpiY);
    return QRect(x, y, TwipsToPixels(left + width, dpiX) - x,
                 TwipsToPixels(top + height, dpiY) - y);
}
