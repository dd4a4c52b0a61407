#include "FileReplacement_posix.h"
#include "Descriptor_posix.h"
#include "StoreLog.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

#include <cerrno>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Registry {

namespace {

// A save writes its copy within milliseconds; one this old was left by a save killed before it
// could rename it.
constexpr time_t kLeftoverSeconds = 60;
constexpr qsizetype kTempDigits = 8;

// The copies a save writes before renaming them over the file are named after it, with
// kTempDigits random hexadecimal digits and ".tmp".
QByteArray TempName(const QByteArray &path)
{
    QByteArray digits = QByteArray::number(QRandomGenerator::system()->generate(), 16);
    return path + '.' + digits.rightJustified(kTempDigits, '0') + ".tmp";
}

bool IsTempNameOf(QByteArrayView entry, QByteArrayView name)
{
    const qsizetype size = name.size() + 1 + kTempDigits + 4;
    if (entry.size() != size || !entry.startsWith(name) || entry[name.size()] != '.' ||
        !entry.endsWith(".tmp"))
        return false;
    const QByteArrayView digits = entry.sliced(name.size() + 1, kTempDigits);
    return std::all_of(digits.begin(), digits.end(),
                       [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool WriteWhole(int fd, QByteArrayView bytes)
{
    while (!bytes.isEmpty()) {
        const ssize_t written = ::write(fd, bytes.data(), size_t(bytes.size()));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes = bytes.sliced(written);
    }
    return true;
}

} // namespace

std::optional<Target> SaveTarget(const QByteArray &path)
{
    struct stat status = {};
    if (::lstat(path.constData(), &status) != 0) {
        if (errno == ENOENT)
            return Target{path};
        qCInfo(lcStore, "save skipped: %s cannot be looked at", path.constData());
        return std::nullopt;
    }
    Target target{path, S_ISLNK(status.st_mode)};
    if (target.throughLink) {
        // empty when the link leads nowhere
        target.path = QFile::encodeName(QFileInfo(QFile::decodeName(path)).canonicalFilePath());
        if (target.path.isEmpty() || ::stat(target.path.constData(), &status) != 0) {
            qCInfo(lcStore, "save skipped: the link %s leads nowhere", path.constData());
            return std::nullopt;
        }
    }
    if (!S_ISREG(status.st_mode) || status.st_uid != geteuid() || !(status.st_mode & S_IWUSR)) {
        qCInfo(lcStore, "save skipped: %s is no regular file the user owns and may write",
               target.path.constData());
        return std::nullopt;
    }
    target.mode = status.st_mode & 0777;
    return target;
}

void RemoveLeftovers(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    const QByteArray folder = slash > 0 ? path.first(slash) : QByteArray("/");
    const QByteArrayView name = QByteArrayView(path).sliced(slash + 1);
    DIR *dir = ::opendir(folder.constData());
    if (dir == nullptr)
        return;
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(dir)) {
        struct stat status = {};
        if (IsTempNameOf(entry->d_name, name) &&
            ::fstatat(dirfd(dir), entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_uid == geteuid() &&
            status.st_mtime < now - kLeftoverSeconds)
            ::unlinkat(dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

bool ReplaceFile(const Target &target, QByteArrayView text)
{
    QByteArray temp;
    Descriptor file;
    for (int tries = 0; file.get() < 0; ++tries) {
        if (tries == 16) {
            qCInfo(lcStore, "save failed: no free name for a copy of %s", target.path.constData());
            return false;
        }
        temp = TempName(target.path);
        file = Descriptor(::open(temp.constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                                 0600));
        if (file.get() < 0 && errno != EEXIST) {
            qCInfo(lcStore, "save failed: %s: %s", temp.constData(), std::strerror(errno));
            return false;
        }
    }
    bool written = ::fchmod(file.get(), target.mode) == 0 && WriteWhole(file.get(), text) &&
                   (::fsync(file.get()) == 0 || errno == EINVAL);
    written = ::close(file.release()) == 0 && written;
    if (!written || ::rename(temp.constData(), target.path.constData()) != 0) {
        qCInfo(lcStore, "save failed: %s could not be %s: %s", temp.constData(),
               written ? "renamed" : "written", std::strerror(errno));
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

} // namespace Registry
