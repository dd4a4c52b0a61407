#include "StoreLocation.h"

namespace Registry {

// The same key QSettings(NativeFormat, UserScope, organisation, application) uses.
QString UserStoreName(const QString &organisation, const QString &application)
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + organisation + u'\\' + application;
}

// The registry itself, so that the numbers are REG_DWORD values.
QSettings::Format StoreFormat()
{
    return QSettings::NativeFormat;
}

// Registry values are size-checked when read; a key has no pipes or endless files to fear.
bool StoreIsSafeToOpen(const QString &)
{
    return true;
}

} // namespace Registry
