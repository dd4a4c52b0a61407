// The start window's bound reader on arbitrary text in several locales (the first byte picks
// one, the rest is UTF-8). Besides crashes and sanitizer reports it checks that whatever it
// accepts it also accepts as the locale writes that number, grouped or not, as the warning
// writes it, and with blanks around it.

#include "BoundParser.h"

#include <QLocale>
#include <QString>

#include <array>
#include <cstdint>
#include <cstdlib>

namespace {

// Locales that group with a full stop, a comma, a non-breaking space, an apostrophe, in Indian
// groups of two or not at all, and one whose digits are not ASCII.
const std::array<QLocale, 8> &Locales()
{
    static const std::array<QLocale, 8> locales = {
        QLocale(QLocale::Russian, QLocale::Russia),
        QLocale(QLocale::English, QLocale::UnitedStates),
        QLocale(QLocale::German, QLocale::Germany),
        QLocale(QLocale::French, QLocale::France),
        QLocale(QLocale::German, QLocale::Switzerland),
        QLocale(QLocale::Arabic, QLocale::Egypt),
        QLocale(QLocale::Hindi, QLocale::India),
        QLocale::c(),
    };
    return locales;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const QLocale &locale = Locales()[data[0] % Locales().size()];
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1),
                                           static_cast<qsizetype>(size - 1));

    const std::optional<qint32> bound = ParseBound(text, locale);
    if (ParseBound(u' ' + text + u' ', locale) != bound)
        std::abort();
    if (bound) {
        if (ParseBound(locale.toString(*bound), locale) != bound)
            std::abort();
        QLocale ungrouped = locale;
        ungrouped.setNumberOptions(QLocale::OmitGroupSeparator);
        if (ParseBound(ungrouped.toString(*bound), locale) != bound ||
            ParseBound(BoundText(*bound, locale), locale) != bound)
            std::abort();
    }
    return 0;
}
