#pragma once

#include <QRect>
#include <QSize>

#include <vector>

class QWidget;

// A control and where the layout puts it, in twips within its container. One that fits its
// content by other means is scaled with the rest but does not set the scale.
struct DesignedControl
{
    QWidget *control;
    QRect twips;
    bool setsScale = true;
};

// Whether the control shows its caption or text whole in its present rectangle and font: the
// text (with a button's indicator) across and the font's height down; a text box holds a line
// of its font inside its frame.
bool ContentFits(const QWidget &control);

// Lays the window out from its twips, scaled as a whole by the least factor (from 1 up, in steps
// of 1/32) at which every control's content fits, as dialog units grow with their font. A
// caption may still take free room to its right and a label room below, up to the next control;
// the window never grows beyond its screen's free area. Containers come before their controls.
// Returns the factor.
qreal FitToFont(QWidget &window, QSize clientTwips, const std::vector<DesignedControl> &controls);
