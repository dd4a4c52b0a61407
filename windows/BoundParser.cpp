#include "BoundParser.h"

#include <limits>

namespace {

constexpr qint64 kLowest = std::numeric_limits<qint32>::min();
constexpr qint64 kHighest = std::numeric_limits<qint32>::max();
// Digits past this magnitude cannot round back into range; stop accumulating there so that a
// long string of digits cannot overflow.
constexpr qint64 kMagnitudeCap = kHighest + 2;

bool IsSpaceLike(QChar c)
{
    return c == u' ' || c == QChar(0x00A0) || c == QChar(0x202F) || c == QChar(0x2009);
}

int DigitValue(QChar c)
{
    return c.category() == QChar::Number_DecimalDigit ? c.digitValue() : -1;
}

// Walks the text once; every Take* call consumes what it recognises and reports it.
class Cursor
{
  public:
    Cursor(const QString &text, const QLocale &locale)
        : m_text(text), m_decimalMark(locale.decimalPoint()), m_group(locale.groupSeparator()),
          m_groupIsSpace(m_group.size() == 1 && IsSpaceLike(m_group.front()))
    {
    }

    bool AtEnd() const { return m_pos >= m_text.size(); }

    // -1 for a minus sign, +1 for a plus sign, 0 when there is none. The typographic minus
    // counts too: it is what some keyboards and copied texts give.
    int TakeSign(const QLocale &locale)
    {
        if (TakeText(QStringLiteral("-")) || TakeText(QString(QChar(0x2212))) ||
            TakeText(locale.negativeSign()))
            return -1;
        if (TakeText(QStringLiteral("+")) || TakeText(locale.positiveSign()))
            return 1;
        return 0;
    }

    int TakeDigit()
    {
        if (AtEnd())
            return -1;
        const int value = DigitValue(m_text.at(m_pos));
        if (value >= 0)
            ++m_pos;
        return value;
    }

    bool TakeGroupSeparator()
    {
        if (m_group.isEmpty() || AtEnd())
            return false;
        if (m_groupIsSpace && IsSpaceLike(m_text.at(m_pos))) {
            ++m_pos;
            return true;
        }
        return TakeText(m_group);
    }

    bool TakeDecimalMark() { return !m_decimalMark.isEmpty() && TakeText(m_decimalMark); }

  private:
    bool TakeText(const QString &expected)
    {
        if (expected.isEmpty() || !QStringView(m_text).mid(m_pos).startsWith(expected))
            return false;
        m_pos += expected.size();
        return true;
    }

    const QString &m_text;
    const QString m_decimalMark;
    const QString m_group;
    const bool m_groupIsSpace;
    qsizetype m_pos = 0;
};

} // namespace

std::optional<qint32> ParseBound(const QString &text, const QLocale &locale)
{
    const QString trimmed = text.trimmed();
    Cursor cursor(trimmed, locale);
    const bool negative = cursor.TakeSign(locale) < 0;

    // Whole part: the first group has one to three digits, every later one exactly three; with
    // no separator at all any number of digits will do.
    qint64 magnitude = 0;
    int digitsInGroup = 0;
    int wholeDigits = 0;
    bool grouped = false;
    for (;;) {
        const int digit = cursor.TakeDigit();
        if (digit >= 0) {
            magnitude = std::min(magnitude * 10 + digit, kMagnitudeCap);
            ++digitsInGroup;
            ++wholeDigits;
            continue;
        }
        if (!cursor.TakeGroupSeparator())
            break;
        const bool firstGroupFits = !grouped && digitsInGroup >= 1 && digitsInGroup <= 3;
        const bool laterGroupFits = grouped && digitsInGroup == 3;
        if (!firstGroupFits && !laterGroupFits)
            return std::nullopt;
        grouped = true;
        digitsInGroup = 0;
    }
    if (grouped && digitsInGroup != 3)
        return std::nullopt;

    // Fraction: only the first digit and whether anything non-zero follows decide the rounding.
    int firstFractionDigit = -1;
    bool nonZeroAfterFirst = false;
    if (cursor.TakeDecimalMark()) {
        for (int digit = cursor.TakeDigit(); digit >= 0; digit = cursor.TakeDigit()) {
            if (firstFractionDigit < 0)
                firstFractionDigit = digit;
            else if (digit != 0)
                nonZeroAfterFirst = true;
        }
    }
    if (!cursor.AtEnd() || (wholeDigits == 0 && firstFractionDigit < 0))
        return std::nullopt;

    const bool roundUp = firstFractionDigit > 5 ||
                         (firstFractionDigit == 5 && (nonZeroAfterFirst || magnitude % 2 == 1));
    if (roundUp)
        magnitude = std::min(magnitude + 1, kMagnitudeCap);

    const qint64 value = negative ? -magnitude : magnitude;
    if (value < kLowest || value > kHighest)
        return std::nullopt;
    return static_cast<qint32>(value);
}
