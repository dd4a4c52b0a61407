#include "ConfigPaths_posix.h"
#include "FileReplacement_posix.h"
#include "FolderChecks_posix.h"
#include "SaveLock_posix.h"
#include "SettingsText.h"
#include "SmallFile_posix.h"
#include "StoreLocation.h"

// The settings live in <config folder>/<organisation>/<application>.conf, one "name=value" line
// each (SettingsText.h reads and rewrites them). The file may be edited by hand: a save changes
// only the values it stores, drops damaged lines and keeps every other byte as it was.
namespace Registry {

QVariant ReadStoredValue(const QString &organisation, const QString &application,
                         const QString &valueName)
{
    const std::optional<StorePaths> paths = PathsFor(organisation, application);
    if (!paths || !InOwnFolders(*paths))
        return {};
    const std::optional<QByteArray> bytes = ReadSmallFile(paths->file);
    return bytes ? ValueInText(*bytes, valueName) : QVariant();
}

bool WriteStoredValues(const QString &organisation, const QString &application,
                       const QList<std::pair<QString, qint32>> &values)
{
    const std::optional<StorePaths> paths = PathsFor(organisation, application);
    if (!paths || !MakeFolders(paths->folder) || !InOwnFolders(*paths))
        return false;
    const Descriptor lock = TakeLock(paths->lock);
    if (lock.get() < 0)
        return false;

    // The user's own file is rewritten whatever it holds: a crash may have left NULs or a cut
    // line in it, which the save drops. A file reached through a link may be anything (a diary,
    // a script) and is rewritten only when every line of it is a settings line.
    const std::optional<Target> target = SaveTarget(paths->file);
    const std::optional<QByteArray> old = target ? ReadSmallFile(target->path) : std::nullopt;
    if (!old || (target->throughLink && !IsSettingsText(*old)))
        return false;
    const QByteArray text = TextWithValues(*old, values);
    if (text.size() > kMaxFileBytes)
        return false; // it would no longer be read
    RemoveLeftovers(target->path);
    return ReplaceFile(*target, text);
}

} // namespace Registry
