#include "StoreLocation.h"

#include <QFileInfo>
#include <QStandardPaths>

namespace Registry {

namespace {

// A settings file holds seven short numbers; anything this large was not written by us, and
// QSettings would read all of it into memory.
constexpr qint64 kMaxStoreFileBytes = 16 * 1024 * 1024;

} // namespace

// The same file QSettings(NativeFormat, UserScope, organisation, application) uses, but looked
// up afresh on every call (QSettings fixes its folder once per process), so XDG_CONFIG_HOME is
// honoured whenever it changes.
QString UserStoreName(const QString &organisation, const QString &application)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        return {};
    return folder + u'/' + organisation + u'/' + application + QStringLiteral(".conf");
}

// QSettings opens and reads the whole file as soon as it is constructed: a named pipe would
// block it for ever and a device such as /dev/zero would never end.
bool StoreIsSafeToOpen(const QString &storeName)
{
    const QFileInfo file(storeName);
    if (!file.exists())
        return true;
    return file.isFile() && file.size() <= kMaxStoreFileBytes;
}

} // namespace Registry
