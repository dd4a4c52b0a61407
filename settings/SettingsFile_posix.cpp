#include "ConfigPaths_posix.h"
#include "FileReplacement_posix.h"
#include "FolderChecks_posix.h"
#include "SaveLock_posix.h"
#include "SettingsText.h"
#include "SmallFile_posix.h"
#include "StoreLocation.h"
#include "StoreLog.h"

// The settings live in <config folder>/<organisation>/<application>.conf, one "name=value" line
// each (SettingsText.h reads and rewrites them). The file may be edited by hand: a save changes
// only the values it stores, drops damaged lines and keeps every other byte as it was.
namespace Registry {

namespace {

constexpr const char *kNoConfigFolder = "neither XDG_CONFIG_HOME nor HOME is an absolute path";

// The config folder and the organisation's folder in it, both the user's alone.
constexpr qsizetype kOwnFolders = 2;

} // namespace

QVariant ReadStoredValue(const QString &organisation, const QString &application,
                         const QString &valueName)
{
    const std::optional<StorePaths> paths = PathsFor(organisation, application);
    if (!paths) {
        qCInfo(lcStore, "no settings read: %s", kNoConfigFolder);
        return {};
    }
    const QByteArray folderPath = paths->config + '/' + paths->organisation;
    const Descriptor folder = PinFolder(folderPath, kOwnFolders, false, "no settings read");
    if (folder.get() < 0)
        return {};
    const std::optional<QByteArray> bytes = ReadSmallFile(folder.get(), paths->file);
    const QByteArray shown = folderPath + '/' + paths->file;
    if (!bytes)
        qCInfo(lcStore, "no settings read: %s is no regular file of at most %lld bytes to read",
               shown.constData(), static_cast<long long>(kMaxFileBytes));
    else if (bytes->isEmpty())
        qCInfo(lcStore, "no settings read: %s is missing or empty", shown.constData());
    return bytes ? ValueInText(*bytes, valueName) : QVariant();
}

bool WriteStoredValues(const QString &organisation, const QString &application,
                       const QList<std::pair<QString, qint32>> &values)
{
    const std::optional<StorePaths> paths = PathsFor(organisation, application);
    if (!paths) {
        qCInfo(lcStore, "save skipped: %s", kNoConfigFolder);
        return false;
    }
    const QByteArray folderPath = paths->config + '/' + paths->organisation;
    const Descriptor folder = PinFolder(folderPath, kOwnFolders, true, "save skipped");
    if (folder.get() < 0)
        return false;
    const Descriptor lock = TakeLock(folder.get(), paths->lock, folderPath + '/' + paths->lock);
    if (lock.get() < 0)
        return false;

    // The user's own file is rewritten whatever it holds: a crash may have left NULs or a cut
    // line in it, which the save drops. A file reached through a link may be anything (a diary,
    // a script) and is rewritten only when every line of it is a settings line.
    const std::optional<Target> target = SaveTarget(folder.get(), folderPath, paths->file);
    if (!target)
        return false;
    const std::optional<QByteArray> old = ReadSmallFile(target->folder.get(), target->name);
    if (!old) {
        qCInfo(lcStore, "save skipped: %s cannot be read", target->shown.constData());
        return false;
    }
    if (target->throughLink && !IsSettingsText(*old)) {
        qCInfo(lcStore, "save skipped: %s, behind a link, holds lines that are no settings",
               target->shown.constData());
        return false;
    }
    const QByteArray text = TextWithValues(*old, values);
    if (text.size() > kMaxFileBytes) { // it would no longer be read
        qCInfo(lcStore, "save skipped: %s would grow over %lld bytes", target->shown.constData(),
               static_cast<long long>(kMaxFileBytes));
        return false;
    }
    RemoveLeftovers(*target);
    return ReplaceFile(*target, text);
}

} // namespace Registry
