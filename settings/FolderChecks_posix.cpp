#include "FolderChecks_posix.h"
#include "StoreLog.h"

#include <QList>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Registry {

namespace {

// As many links as the system itself follows in one path.
constexpr int kMaxLinks = 40;

bool IsOwnFolder(const struct stat &status)
{
    return S_ISDIR(status.st_mode) && status.st_uid == geteuid() &&
           (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool IsSafeParent(const struct stat &status)
{
    return S_ISDIR(status.st_mode) && (status.st_uid == geteuid() || status.st_uid == 0) &&
           ((status.st_mode & (S_IWGRP | S_IWOTH)) == 0 || (status.st_mode & S_ISVTX) != 0);
}

QList<QByteArray> Components(const QByteArray &path)
{
    QList<QByteArray> parts = path.split('/');
    parts.removeIf([](const QByteArray &part) { return part.isEmpty() || part == "."; });
    return parts;
}

// What a symbolic link in the folder leads to, when the user or root made it: in a folder that
// passed the checks nobody else can have replaced it since. Empty for anything else.
QByteArray TrustedLink(int folder, const QByteArray &name)
{
    struct stat status = {};
    if (::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISLNK(status.st_mode) || (status.st_uid != geteuid() && status.st_uid != 0))
        return {};
    QByteArray target(qsizetype(status.st_size) + 1, '\0');
    const ssize_t size =
        ::readlinkat(folder, name.constData(), target.data(), size_t(target.size()));
    return size > 0 && size < target.size() ? target.first(size) : QByteArray();
}

Descriptor OpenRoot()
{
    return Descriptor(::open("/", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

} // namespace

Descriptor PinFolder(const QByteArray &path, qsizetype own, bool create, const char *outcome)
{
    QList<QByteArray> parts = Components(path);
    Descriptor folder = OpenRoot();
    QByteArray shown; // the folder reached, for the log ("" for the root)
    int links = 0;
    for (qsizetype i = 0;;) {
        // the folder of the first i parts
        struct stat status = {};
        const bool mine = i > parts.size() - own;
        if (folder.get() < 0 || ::fstat(folder.get(), &status) != 0 ||
            !(mine ? IsOwnFolder(status) : IsSafeParent(status))) {
            qCInfo(lcStore, "%s: %s is %s", outcome, shown.isEmpty() ? "/" : shown.constData(),
                   mine ? "no folder of the user's alone" : "a folder others may change");
            return Descriptor();
        }
        if (i == parts.size())
            return folder;
        const QByteArray &part = parts[i];
        const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
        Descriptor next(::openat(folder.get(), part.constData(), flags));
        if (next.get() < 0 && errno == ENOENT && create) {
            const bool made = ::mkdirat(folder.get(), part.constData(), 0700) == 0;
            if (made)
                ::fsync(folder.get());
            next = Descriptor(::openat(folder.get(), part.constData(), flags));
            if (made && next.get() >= 0)
                ::fchmod(next.get(), 0700);
        }
        const int error = next.get() < 0 ? errno : 0;
        if ((error == ELOOP || error == ENOTDIR) && links < kMaxLinks) {
            const QByteArray target = TrustedLink(folder.get(), part);
            if (!target.isEmpty()) {
                ++links;
                const QList<QByteArray> rest = parts.mid(i + 1);
                parts = target.startsWith('/') ? QList<QByteArray>() : parts.first(i);
                parts += Components(target) + rest;
                if (target.startsWith('/')) {
                    folder = OpenRoot();
                    shown.clear();
                    i = 0;
                }
                continue;
            }
        }
        if (next.get() < 0) {
            qCInfo(lcStore, "%s: %s/%s: %s", outcome, shown.constData(), part.constData(),
                   error == ENOTDIR || error == ELOOP ? "no folder" : std::strerror(error));
            return Descriptor();
        }
        folder = std::move(next);
        shown += '/' + part;
        ++i;
    }
}

} // namespace Registry
