#include "BoundParser.h"

#include "Int32.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsSpaceLike(QChar c)
{
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009);
}

// What QLocale's own reading stumbles over in a number as a pupil types or copies it: invisible
// direction marks (some locales write one before their minus sign), and an ordinary blank where
// the locale groups with another kind of space.
QString Normalised(const QString &text, const QLocale &locale)
{
    const QString group = locale.groupSeparator();
    const bool groupIsSpace = group.size() == 1 && IsSpaceLike(group.front());
    QString normal;
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Format)
            normal += groupIsSpace && IsSpaceLike(c) ? group.front() : c;
    }
    return normal.trimmed();
}

} // namespace

std::optional<qint32> ParseBound(const QString &text, const QLocale &locale)
{
    const QString number = Normalised(text, locale);
    bool ok = false;
    qint64 whole = locale.toLongLong(number, &ok);
    if (ok)
        return FitInt32(whole);

    // A fraction. QLocale checks the text as a whole and gives the sign (also that of -0,7); the
    // whole part it reads exactly, and the digits after the decimal mark decide the rounding.
    const QString mark = locale.decimalPoint();
    const qsizetype at = number.indexOf(mark);
    const double approximate = locale.toDouble(number, &ok);
    if (at < 0 || !ok)
        return std::nullopt;
    // ",7" and "-,5" leave the whole part out: it is zero.
    QString wholePart = number.left(at);
    if (std::none_of(wholePart.cbegin(), wholePart.cend(), [](QChar c) { return c.isDigit(); }))
        wholePart += locale.zeroDigit();
    whole = locale.toLongLong(wholePart, &ok);
    if (!ok || !FitInt32(whole)) // rounding only moves a number further from zero
        return std::nullopt;
    int firstDigit = -1;
    bool nonZeroAfterFirst = false;
    for (const QChar c : QStringView(number).sliced(at + mark.size())) {
        if (c.category() != QChar::Number_DecimalDigit)
            return std::nullopt; // an exponent, say
        if (firstDigit < 0)
            firstDigit = c.digitValue();
        else if (c.digitValue() != 0)
            nonZeroAfterFirst = true;
    }
    qint64 magnitude = std::abs(whole);
    if (firstDigit > 5 || (firstDigit == 5 && (nonZeroAfterFirst || magnitude % 2 == 1)))
        ++magnitude;
    return FitInt32(std::signbit(approximate) ? -magnitude : magnitude);
}

QString BoundText(qint32 value, const QLocale &locale)
{
    const QString own = locale.toString(value);
    const bool leftToRight = std::none_of(own.cbegin(), own.cend(), [](QChar c) {
        return c.direction() == QChar::DirR || c.direction() == QChar::DirAL ||
               c.direction() == QChar::DirAN;
    });
    return leftToRight ? own : QString::number(value);
}
