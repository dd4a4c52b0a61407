#pragma once

#include <QLocale>
#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <optional>

// The start window's four bound fields, always in this order: Text1(0), Text2(0), Text1(1),
// Text2(1), that is the first operand's lower and upper bound, then the second operand's.
using BoundTexts = std::array<QString, 4>;
using Bounds = std::array<qint32, 4>;

// The bound fields' names, as the warning and a screen reader give them.
inline const BoundTexts kBoundFieldNames = {
    QStringLiteral("Первое число, от"),
    QStringLiteral("Первое число, до"),
    QStringLiteral("Второе число, от"),
    QStringLiteral("Второе число, до"),
};

// The four bound fields as read when "Начать" is pressed: either all four bounds, or the first
// field that holds none, with the warning the pupil gets about it.
struct BoundsRead
{
    Bounds bounds{};
    std::optional<std::size_t> badField;
    QString warning;
};

// Reads the four fields with ParseBound under `locale`, in their order; the first one that is
// not a bound is named, and the limits in its warning are written for `locale`.
BoundsRead ReadBounds(const BoundTexts &texts, const QLocale &locale);

// What the four bound fields show for the bounds the last save stored. Four zeros mean that
// nothing is stored: none, and the fields keep their design texts "1", "10", "1", "10". Any
// other four, also with a single zero among them, show as plain decimal numbers.
std::optional<BoundTexts> StoredBoundTexts(const Bounds &stored);
