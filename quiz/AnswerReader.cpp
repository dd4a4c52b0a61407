#include "AnswerReader.h"

#include "Int32.h"

namespace {

bool IsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Blanks a pupil may type or paste before the number, the no-break spaces among them.
bool IsBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == QChar(0x00A0) || c == QChar(0x202F);
}

// The typographic minus counts as the minus sign: keyboards and copied texts give it.
bool IsMinus(QChar c)
{
    return c == u'-' || c == QChar(0x2212);
}

} // namespace

std::optional<qint32> ReadAnswer(const QString &text)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && IsBlank(text[i]))
        ++i;
    bool negative = false;
    if (i < n && (IsMinus(text[i]) || text[i] == u'+')) {
        negative = IsMinus(text[i]);
        ++i;
    }

    // The whole part is accumulated exactly; past 2^31 it can no longer fit, whatever follows.
    constexpr qint64 kLimit = kMax32 + 1;
    qint64 whole = 0;
    bool tooLarge = false;
    for (; i < n && IsDigit(text[i]); ++i) {
        whole = whole * 10 + (text[i].unicode() - u'0');
        if (whole > kLimit) {
            tooLarge = true;
            whole = kLimit + 1;
        }
    }

    // Only the first fractional digit and whether anything non-zero follows decide the rounding.
    if (i < n && text[i] == u'.') {
        ++i;
        int firstDigit = -1;
        bool restNonZero = false;
        for (; i < n && IsDigit(text[i]); ++i) {
            if (firstDigit < 0)
                firstDigit = text[i].unicode() - u'0';
            else if (text[i] != u'0')
                restNonZero = true;
        }
        const bool roundUp = firstDigit > 5 || (firstDigit == 5 && (restNonZero || whole % 2 != 0));
        if (roundUp && !tooLarge)
            ++whole;
    }

    if (tooLarge)
        return std::nullopt;
    return FitInt32(negative ? -whole : whole);
}
