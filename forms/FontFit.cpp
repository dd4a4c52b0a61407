#include "FontFit.h"

#include "Twips.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOption>

#include <algorithm>

namespace {

constexpr qreal kFactorStep = 1.0 / 32;

// The width an option button or a check box needs: where its caption starts, then the caption.
int ButtonContentWidth(const QAbstractButton &button)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    const bool radio = qobject_cast<const QRadioButton *>(&button) != nullptr;
    const QRect contents = button.style()->subElementRect(
        radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &option, &button);
    return contents.left() + button.fontMetrics().horizontalAdvance(button.text());
}

// Some letters reach a pixel past their advance; a centred text may lose one to rounding on
// either side.
int LabelTextWidth(const QLabel &label)
{
    const QFontMetrics metrics = label.fontMetrics();
    const int centring = label.alignment() & Qt::AlignHCenter ? 2 : 0;
    return std::max(metrics.horizontalAdvance(label.text()),
                    metrics.boundingRect(label.text()).right() + 1) +
           centring;
}

int IndicatorHeight(const QAbstractButton &button)
{
    const bool radio = qobject_cast<const QRadioButton *>(&button) != nullptr;
    return button.style()->pixelMetric(
        radio ? QStyle::PM_ExclusiveIndicatorHeight : QStyle::PM_IndicatorHeight, nullptr, &button);
}

// A caption takes the room it needs to its right (and a label the room below) as far as the next
// control of its container, short of it by a few pixels so that «до» never runs into its box, or
// as far as the container's edge, keeping its place. `laid` holds the rectangles before any
// control grew, so that the order of growing does not matter.
void GrowIntoFreeRoom(QWidget &control, const std::vector<std::pair<QWidget *, QRect>> &laid)
{
    const int gap = std::max(1, control.fontMetrics().averageCharWidth() / 5);
    const auto *label = qobject_cast<const QLabel *>(&control);
    if (!label && !qobject_cast<const QCheckBox *>(&control) &&
        !qobject_cast<const QRadioButton *>(&control))
        return;
    QRect r = control.geometry();
    const QRect inside = control.parentWidget()->contentsRect();
    int right = inside.right() + 1;
    int bottom = inside.bottom() + 1;
    for (const auto &[other, rect] : laid) {
        if (other == &control || other->parentWidget() != control.parentWidget())
            continue;
        if (rect.left() >= r.right() && rect.top() <= r.bottom() && rect.bottom() >= r.top())
            right = std::min(right, rect.left() - gap);
        if (rect.top() >= r.bottom() && rect.left() <= r.right() && rect.right() >= r.left())
            bottom = std::min(bottom, rect.top() - gap);
    }
    const int wanted = label ? std::max(control.sizeHint().width(), LabelTextWidth(*label))
                             : control.sizeHint().width();
    r.setWidth(std::max(r.width(), std::min(wanted, right - r.left())));
    if (label)
        r.setHeight(
            std::max(r.height(), std::min(control.fontMetrics().height(), bottom - r.top())));
    control.setGeometry(r);
}

void LayOut(QWidget &window, QSize clientTwips, const std::vector<DesignedControl> &controls,
            qreal factor)
{
    const qreal dpiX = window.logicalDpiX() * factor;
    const qreal dpiY = window.logicalDpiY() * factor;
    window.setFixedSize(TwipsToPixels(clientTwips.width(), dpiX),
                        TwipsToPixels(clientTwips.height(), dpiY));
    std::vector<std::pair<QWidget *, QRect>> laid;
    for (const DesignedControl &c : controls) {
        const QRect &t = c.twips;
        c.control->setGeometry(TwipsToRect(t.left(), t.top(), t.width(), t.height(), dpiX, dpiY));
        laid.emplace_back(c.control, c.control->geometry());
    }
    for (const DesignedControl &c : controls)
        GrowIntoFreeRoom(*c.control, laid);
}

} // namespace

bool ContentFits(const QWidget &control)
{
    const QFontMetrics metrics = control.fontMetrics();
    if (const auto *label = qobject_cast<const QLabel *>(&control)) {
        const QRect room = label->contentsRect();
        return LabelTextWidth(*label) <= room.width() && metrics.height() <= room.height();
    }
    if (const auto *button = qobject_cast<const QPushButton *>(&control)) {
        if (button->text().isEmpty())
            return true; // a picture, fitted to the button
        const QSize needed = button->sizeHint();
        return needed.width() <= button->width() && needed.height() <= button->height();
    }
    if (const auto *button = qobject_cast<const QAbstractButton *>(&control)) {
        return ButtonContentWidth(*button) <= button->width() &&
               std::max(metrics.height(), IndicatorHeight(*button)) <= button->height();
    }
    if (const auto *box = qobject_cast<const QLineEdit *>(&control)) {
        // a line of text between the frame's edges, with a pixel of margin above and below
        const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
        return metrics.height() + 2 * frame + 2 <= box->height();
    }
    if (const auto *frame = qobject_cast<const QGroupBox *>(&control)) {
        // the title starts a little in from the frame's corner and needs as much room after it
        return metrics.horizontalAdvance(frame->title()) + 2 * metrics.height() <= frame->width();
    }
    return true;
}

qreal FitToFont(QWidget &window, QSize clientTwips, const std::vector<DesignedControl> &controls)
{
    qreal largest = 1;
    if (const QScreen *screen = window.screen()) {
        const QSize area = screen->availableGeometry().size();
        largest = std::max<qreal>(
            1,
            std::min(area.width() / qreal(TwipsToPixels(clientTwips.width(), window.logicalDpiX())),
                     area.height() /
                         qreal(TwipsToPixels(clientTwips.height(), window.logicalDpiY()))));
    }
    const auto allFit = [&] {
        return std::ranges::all_of(controls, [](const DesignedControl &c) {
            return !c.setsScale || ContentFits(*c.control);
        });
    };
    qreal factor = 1;
    LayOut(window, clientTwips, controls, factor);
    while (!allFit() && factor < largest) {
        factor = std::min(factor + kFactorStep, largest);
        LayOut(window, clientTwips, controls, factor);
    }
    return factor;
}
