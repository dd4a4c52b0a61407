#include "Registry.h"
#include "Int32.h"
#include "StoreLocation.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>
#include <utility>

namespace Registry {

const QString SettingsKeyPath = QStringLiteral("SOFTWARE\\Quorvantelle\\Vorpa");

namespace {

// The registry hands over at most this much data for one value; longer text reads as 0, however
// good a number it spells.
constexpr qsizetype kMaxValueBytes = 1024;

struct StoredField
{
    const char16_t *name;
    qint32 StoredValues::*member;
};

// The one place that fixes the names and the order of writing and reading.
constexpr std::array<StoredField, 7> kStoredFields = {{
    {u"ExampleType", &StoredValues::ExampleType},
    {u"ExampleDifficult", &StoredValues::ExampleDifficult},
    {u"ExampleMin1", &StoredValues::ExampleMin1},
    {u"ExampleMax1", &StoredValues::ExampleMax1},
    {u"ExampleMin2", &StoredValues::ExampleMin2},
    {u"ExampleMax2", &StoredValues::ExampleMax2},
    {u"IntellectualMode", &StoredValues::IntellectualMode},
}};

bool IsPlainName(const QString &part)
{
    if (part.isEmpty() || part == u"." || part == u"..")
        return false;
    for (const QChar c : part) {
        if (c == u'/' || c.unicode() < 0x20)
            return false;
    }
    return true;
}

// The organisation and application a key path names.
struct StoreName
{
    QString organisation, application;
};

// A key path names the place the way the registry does, Software\<organisation>\<application>;
// anything else (or a part that could climb out of the config folder) names no store.
std::optional<StoreName> StoreNameFor(const QString &keyPath)
{
    const QStringList parts = keyPath.split(u'\\');
    if (parts.size() != 3 || parts[0].compare(u"Software", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    if (!IsPlainName(parts[1]) || !IsPlainName(parts[2]))
        return std::nullopt;
    return StoreName{parts[1], parts[2]};
}

// Only a whole number in the signed 32-bit range counts. The registry hands over a DWORD as an
// int; a file (or a hand-made registry string) hands over its text.
std::optional<qint32> WholeNumber(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
        return value.toInt();
    case QMetaType::LongLong:
        return FitInt32(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULongLong: {
        const quint64 number = value.toULongLong();
        return number > quint64(kMax32) ? std::nullopt : FitInt32(qint64(number));
    }
    case QMetaType::QString: {
        const QString text = value.toString();
        if (text.size() > kMaxValueBytes)
            return std::nullopt;
        // A sign and digits, nothing else (so a byte each): toInt alone would stop at a NUL and
        // take what came before it.
        if (!std::all_of(text.cbegin(), text.cend(), [](QChar c) {
                return (c >= u'0' && c <= u'9') || c == u'-' || c == u'+';
            }))
            return std::nullopt;
        bool ok = false;
        const qint32 number = text.toInt(&ok, 10);
        if (!ok)
            return std::nullopt;
        return number;
    }
    default:
        return std::nullopt;
    }
}

// The writing side's key: the store it names and the values set since it was opened, written
// together by the flush.
struct OpenKey
{
    StoreName name;
    QList<std::pair<QString, qint32>> pending;
};

std::optional<OpenKey> &ProcessKey()
{
    static std::optional<OpenKey> key;
    return key;
}

} // namespace

void OpenSettingsKey(const QString &keyPath)
{
    std::optional<OpenKey> &key = ProcessKey();
    key.reset();
    if (const std::optional<StoreName> name = StoreNameFor(keyPath))
        key = OpenKey{*name, {}};
}

void SetNumberValue(const QString &valueName, qint32 value)
{
    std::optional<OpenKey> &key = ProcessKey();
    if (!key || valueName.isEmpty())
        return;
    const auto same = [&](const auto &entry) { return entry.first == valueName; };
    key->pending.removeIf(same);
    key->pending.append({valueName, value});
}

bool FlushSettingsKey()
{
    std::optional<OpenKey> &key = ProcessKey();
    if (!key)
        return false;
    // Values that could not be written do not linger as if they had been stored.
    const QList<std::pair<QString, qint32>> values = std::exchange(key->pending, {});
    return WriteStoredValues(key->name.organisation, key->name.application, values);
}

qint32 GetNumberValue(Hive, const QString &keyPath, const QString &valueName)
{
    const std::optional<StoreName> name = StoreNameFor(keyPath);
    if (!name || valueName.isEmpty())
        return 0;
    return NumberValue(ReadStoredValue(name->organisation, name->application, valueName));
}

qint32 NumberValue(const QVariant &stored)
{
    return WholeNumber(stored).value_or(0);
}

StoredValues StoredValuesOf(const QuizSettings &settings)
{
    StoredValues values;
    values.ExampleType = ExampleTypeCode(settings.Operation);
    values.ExampleDifficult = settings.Difficult ? 1 : 0;
    values.ExampleMin1 = settings.Min1;
    values.ExampleMax1 = settings.Max1;
    values.ExampleMin2 = settings.Min2;
    values.ExampleMax2 = settings.Max2;
    values.IntellectualMode = settings.IntellectualMode ? 1 : 0;
    return values;
}

void ForEachStoredValue(const StoredValues &values,
                        const std::function<void(const QString &, qint32)> &visit)
{
    for (const StoredField &field : kStoredFields)
        visit(QString::fromUtf16(field.name), values.*field.member);
}

StoredValues LoadSettings()
{
    StoredValues values;
    for (const StoredField &field : kStoredFields) {
        values.*field.member =
            GetNumberValue(Hive::CurrentUser, SettingsKeyPath, QString::fromUtf16(field.name));
    }
    return values;
}

bool SaveSettings(const QuizSettings &settings)
{
    OpenSettingsKey(SettingsKeyPath);
    ForEachStoredValue(StoredValuesOf(settings), SetNumberValue);
    return FlushSettingsKey();
}

} // namespace Registry
