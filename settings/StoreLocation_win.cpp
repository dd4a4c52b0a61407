#include "StoreLocation.h"
#include "StoreLog.h"

#include <QSettings>

namespace Registry {

namespace {

// The same key QSettings(NativeFormat, UserScope, organisation, application) uses.
QString UserStoreName(const QString &organisation, const QString &application)
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + organisation + u'\\' + application;
}

} // namespace

// Registry values are size-checked when read; a key has no pipes or endless files to fear.
QVariant ReadStoredValue(const QString &organisation, const QString &application,
                         const QString &valueName)
{
    const QSettings store(UserStoreName(organisation, application), QSettings::NativeFormat);
    return store.value(valueName);
}

// Each value is stored as an int, so that the registry gets a REG_DWORD.
bool WriteStoredValues(const QString &organisation, const QString &application,
                       const QList<std::pair<QString, qint32>> &values)
{
    QSettings store(UserStoreName(organisation, application), QSettings::NativeFormat);
    for (const auto &[name, value] : values)
        store.setValue(name, QVariant(static_cast<int>(value)));
    store.sync();
    if (store.status() != QSettings::NoError)
        qCInfo(lcStore, "save failed: %s could not be written",
               qUtf8Printable(UserStoreName(organisation, application)));
    return store.status() == QSettings::NoError;
}

} // namespace Registry
