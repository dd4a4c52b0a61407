#include "FileReplacement_posix.h"
#include "FolderChecks_posix.h"
#include "StoreLog.h"

#include <QRandomGenerator>

#include <algorithm>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
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
constexpr qsizetype kTempExtra = 1 + kTempDigits + 4;

// The copies a save writes before renaming them over the file are named after it, with
// kTempDigits random hexadecimal digits and ".tmp".
QByteArray TempName(const QByteArray &name)
{
    QByteArray digits = QByteArray::number(QRandomGenerator::system()->generate(), 16);
    return name + '.' + digits.rightJustified(kTempDigits, '0') + ".tmp";
}

bool IsTempNameOf(QByteArrayView entry, QByteArrayView name)
{
    const qsizetype size = name.size() + kTempExtra;
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

// Past a file size limit (ulimit -f) a write would end the program by SIGXFSZ; ignored, the
// write fails with EFBIG instead, as on a full disk, and the save with it.
class FileSizeSignalIgnored
{
  public:
    FileSizeSignalIgnored()
    {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        m_set = ::sigaction(SIGXFSZ, &ignore, &m_old) == 0;
    }
    ~FileSizeSignalIgnored()
    {
        if (m_set)
            ::sigaction(SIGXFSZ, &m_old, nullptr);
    }
    FileSizeSignalIgnored(const FileSizeSignalIgnored &) = delete;
    FileSizeSignalIgnored &operator=(const FileSizeSignalIgnored &) = delete;

  private:
    struct sigaction m_old = {};
    bool m_set = false;
};

// The folder and the name of the file a link leads to, without links; empty when it leads
// nowhere. A link may be relative to the folder it is in.
QByteArray LinkedPath(int folder, const QByteArray &path, const QByteArray &name)
{
    char target[PATH_MAX + 1];
    const ssize_t size = ::readlinkat(folder, name.constData(), target, sizeof target - 1);
    if (size <= 0 || size >= ssize_t(sizeof target - 1))
        return {};
    const QByteArray link(target, size);
    const QByteArray full = link.startsWith('/') ? link : path + '/' + link;
    char *resolved = ::realpath(full.constData(), nullptr);
    const QByteArray canonical = resolved != nullptr ? QByteArray(resolved) : QByteArray();
    std::free(resolved);
    return canonical;
}

} // namespace

std::optional<Target> SaveTarget(int folder, const QByteArray &path, const QByteArray &name)
{
    Target target{Descriptor(::fcntl(folder, F_DUPFD_CLOEXEC, 0)), name, path + '/' + name};
    struct stat status = {};
    if (target.folder.get() < 0 ||
        ::fstatat(folder, name.constData(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
        if (target.folder.get() >= 0 && errno == ENOENT)
            return target;
        qCInfo(lcStore, "save skipped: %s cannot be looked at", target.shown.constData());
        return std::nullopt;
    }
    target.throughLink = S_ISLNK(status.st_mode);
    if (target.throughLink) {
        const QByteArray linked = LinkedPath(folder, path, name);
        const qsizetype slash = linked.lastIndexOf('/');
        if (slash < 0) {
            qCInfo(lcStore, "save skipped: the link %s leads nowhere", target.shown.constData());
            return std::nullopt;
        }
        target.name = linked.sliced(slash + 1);
        target.shown = linked;
        target.folder = PinFolder(linked.first(slash), 1, false, "save skipped");
        if (target.folder.get() < 0)
            return std::nullopt;
        if (::fstatat(target.folder.get(), target.name.constData(), &status, AT_SYMLINK_NOFOLLOW) !=
            0) {
            qCInfo(lcStore, "save skipped: the link %s leads nowhere", target.shown.constData());
            return std::nullopt;
        }
    }
    if (!S_ISREG(status.st_mode) || status.st_uid != geteuid() || !(status.st_mode & S_IWUSR)) {
        qCInfo(lcStore, "save skipped: %s is no regular file the user owns and may write",
               target.shown.constData());
        return std::nullopt;
    }
    if (target.name.size() + kTempExtra > NAME_MAX) {
        qCInfo(lcStore, "save skipped: %s has too long a name for a copy beside it",
               target.shown.constData());
        return std::nullopt;
    }
    target.mode = status.st_mode & 0777;
    return target;
}

void RemoveLeftovers(const Target &target)
{
    // A descriptor of its own, so that reading the folder moves no one else's position in it.
    const int fd = ::openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR *dir = fd >= 0 ? ::fdopendir(fd) : nullptr;
    if (dir == nullptr) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    const time_t now = ::time(nullptr);
    while (const dirent *entry = ::readdir(dir)) {
        struct stat status = {};
        if (IsTempNameOf(entry->d_name, target.name) &&
            ::fstatat(fd, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISREG(status.st_mode) && status.st_uid == geteuid() &&
            status.st_mtime < now - kLeftoverSeconds)
            ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(dir);
}

bool ReplaceFile(const Target &target, QByteArrayView text)
{
    const int folder = target.folder.get();
    QByteArray temp;
    Descriptor file;
    for (int tries = 0; file.get() < 0; ++tries) {
        if (tries == 16) {
            qCInfo(lcStore, "save failed: no free name for a copy of %s", target.shown.constData());
            return false;
        }
        temp = TempName(target.name);
        file = Descriptor(::openat(folder, temp.constData(),
                                   O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                                   0600));
        if (file.get() < 0 && errno != EEXIST) {
            qCInfo(lcStore, "save failed: a copy of %s: %s", target.shown.constData(),
                   std::strerror(errno));
            return false;
        }
    }
    bool written = false;
    {
        const FileSizeSignalIgnored ignored;
        written = ::fchmod(file.get(), target.mode) == 0 && WriteWhole(file.get(), text) &&
                  (::fsync(file.get()) == 0 || errno == EINVAL);
    }
    written = ::close(file.release()) == 0 && written;
    if (!written || ::renameat(folder, temp.constData(), folder, target.name.constData()) != 0) {
        qCInfo(lcStore, "save failed: a copy of %s could not be %s: %s", target.shown.constData(),
               written ? "renamed" : "written", std::strerror(errno));
        ::unlinkat(folder, temp.constData(), 0);
        return false;
    }
    // The rename is in the folder's blocks; until they are on the disk, a power loss may bring
    // back the old file, or none.
    if (::fsync(folder) != 0 && errno != EINVAL) {
        qCInfo(lcStore, "save failed: the folder of %s could not be put on the disk: %s",
               target.shown.constData(), std::strerror(errno));
        return false;
    }
    return true;
}

} // namespace Registry
