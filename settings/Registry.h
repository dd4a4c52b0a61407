#pragma once

#include "QuizSettings.h"

#include <QString>
#include <QVariant>

#include <functional>

// The pupil's last choices, stored per operating-system user as seven 32-bit numbers under
// organisation "Quorvantelle", application "Vorpa" (on Windows the registry key
// HKEY_CURRENT_USER\Software\Quorvantelle\Vorpa, elsewhere a file in the user's config folder).
namespace Registry {

// The key the choices live under, as the registry names it.
extern const QString SettingsKeyPath;

enum class Hive
{
    CurrentUser,
};

// Makes the process-wide key refer to keyPath, with nothing set on it yet.
void OpenSettingsKey(const QString &keyPath);
// Sets one value on the process-wide key, to be stored by the next flush; failures stay silent.
void SetNumberValue(const QString &valueName, qint32 value);
// Stores the values set since the key was opened, all in one write, and tells whether they got
// there. A failed write leaves the store as it was; a skipped one too.
bool FlushSettingsKey();
// Reads one value, opening the store afresh; 0 when anything fails.
qint32 GetNumberValue(Hive hive, const QString &keyPath, const QString &valueName);
// What a value as the store hands it over (an int, or text) reads as: a whole number in the
// signed 32-bit range, else 0.
qint32 NumberValue(const QVariant &stored);

// The seven stored values, in the order they are written and read.
struct StoredValues
{
    qint32 ExampleType = 0;
    qint32 ExampleDifficult = 0;
    qint32 ExampleMin1 = 0;
    qint32 ExampleMax1 = 0;
    qint32 ExampleMin2 = 0;
    qint32 ExampleMax2 = 0;
    qint32 IntellectualMode = 0;

    friend bool operator==(const StoredValues &, const StoredValues &) = default;
};

// What a quiz set-up is stored as: ExampleType is the operation's code, the flags are 1 or 0.
StoredValues StoredValuesOf(const QuizSettings &settings);
// Hands each of the seven values with its name to `visit`, in the order they are written and
// read.
void ForEachStoredValue(const StoredValues &values,
                        const std::function<void(const QString &, qint32)> &visit);

// The load sequence: the seven values, each read on its own.
StoredValues LoadSettings();
// The save sequence, flushed to disk before it returns (the quiz may end the process at
// once). Whether it reached the disk; the pupil is never told either way.
bool SaveSettings(const QuizSettings &settings);

} // namespace Registry
