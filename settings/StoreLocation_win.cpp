#include "StoreLocation.h"

namespace Registry {

// The same key QSettings(NativeFormat, UserScope, organisation, application) uses.
QString UserStoreName(const QString &organisation, const QString &application)
{
    return QStringLiteral("HKEY_CURRENT_USER\\Software\\") + organisation + u'\\' + application;
}

// Registry values are size-checked when read; a key has no pipes or endless files to fear.
bool StoreIsSafeToOpen(const QString &)
{
    return true;
}

} // namespace Registry
