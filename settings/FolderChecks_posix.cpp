#include "FolderChecks_posix.h"
#include "StoreLog.h"

#include <QList>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace Registry {

namespace {

// A folder only the user can change, as a careful server checks its own: anyone else who may
// write there could put a link where the settings file belongs and have a save rewrite another
// of the user's files.
bool IsOwnFolder(const QByteArray &path)
{
    struct stat status = {};
    return ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

} // namespace

bool InOwnFolders(const StorePaths &paths, const char *outcome)
{
    for (const QByteArray &folder : {paths.config, paths.folder}) {
        if (!IsOwnFolder(folder)) {
            qCInfo(lcStore, "%s: %s is no folder of the user's alone", outcome, folder.constData());
            return false;
        }
    }
    return true;
}

bool MakeFolders(const QByteArray &folder)
{
    struct stat status = {};
    if (::stat("/", &status) != 0)
        return false;
    QByteArray path;
    for (const QByteArray &part : folder.split('/')) {
        if (part.isEmpty())
            continue;
        const uid_t parentOwner = status.st_uid;
        path += '/' + part;
        if (::stat(path.constData(), &status) == 0)
            continue;
        if (errno != ENOENT || (parentOwner != geteuid() && parentOwner != 0)) {
            qCInfo(lcStore, "save skipped: %s cannot be made by this user", path.constData());
            return false;
        }
        if (::mkdir(path.constData(), 0700) == 0)
            ::chmod(path.constData(), 0700);
        if (::stat(path.constData(), &status) != 0) {
            qCInfo(lcStore, "save skipped: %s could not be made", path.constData());
            return false;
        }
    }
    if (!S_ISDIR(status.st_mode))
        qCInfo(lcStore, "save skipped: %s is no folder", folder.constData());
    return S_ISDIR(status.st_mode);
}

} // namespace Registry
