#include "Readability.h"

#include <cmath>

namespace {

// Relative luminance of an sRGB colour.
qreal Luminance(const QColor &c)
{
    const auto linear = [](qreal v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

// The colour as the screen gets it, eight bits a channel, so that the contrast is the one drawn.
QColor EightBit(const QColor &c)
{
    return QColor(c.red(), c.green(), c.blue());
}

} // namespace

qreal ContrastRatio(const QColor &a, const QColor &b)
{
    const qreal la = Luminance(a);
    const qreal lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor ReadableOn(const QColor &text, const QColor &background)
{
    if (ContrastRatio(text, background) >= kReadableContrast)
        return text;
    // Lightness in HSL keeps hue and saturation: dark blue becomes blue, then a paler blue.
    const float hue = std::max(text.hslHueF(), 0.0f);
    const float saturation = text.hslSaturationF();
    const float start = text.lightnessF();
    constexpr int kSteps = 1000;
    for (int i = 1; i <= kSteps; ++i) {
        const QColor lighter =
            EightBit(QColor::fromHslF(hue, saturation, start + (1 - start) * i / kSteps));
        if (ContrastRatio(lighter, background) >= kReadableContrast)
            return lighter;
    }
    for (int i = 1; i <= kSteps; ++i) {
        const QColor darker =
            EightBit(QColor::fromHslF(hue, saturation, start - start * i / kSteps));
        if (ContrastRatio(darker, background) >= kReadableContrast)
            return darker;
    }
    return text;
}
