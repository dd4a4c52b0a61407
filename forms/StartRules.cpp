#include "StartRules.h"

#include "BoundParser.h"

#include <limits>

BoundsRead ReadBounds(const BoundTexts &texts, const QLocale &locale)
{
    BoundsRead read;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        const std::optional<qint32> bound = ParseBound(texts[i], locale);
        if (!bound) {
            read.badField = i;
            read.warning =
                QStringLiteral("В поле «%1» нужно написать целое число от %2 до %3.")
                    .arg(kBoundFieldNames[i], BoundText(std::numeric_limits<qint32>::min(), locale),
                         BoundText(std::numeric_limits<qint32>::max(), locale));
            return read;
        }
        read.bounds[i] = *bound;
    }
    return read;
}

std::optional<BoundTexts> StoredBoundTexts(const Bounds &stored)
{
    if (stored[0] == 0 && stored[1] == 0 && stored[2] == 0 && stored[3] == 0)
        return std::nullopt;
    BoundTexts texts;
    for (std::size_t i = 0; i < stored.size(); ++i)
        texts[i] = QString::number(stored[i]);
    return texts;
}
