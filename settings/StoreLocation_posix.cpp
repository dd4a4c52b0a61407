#include "SettingsText.h"
#include "StoreLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>
#include <utility>

#include <cerrno>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The settings live in <config folder>/<organisation>/<application>.conf, one "name=value" line
// each (SettingsText.h reads and rewrites them). The file may be edited by hand: a save changes
// only the values it stores, drops damaged lines and keeps every other byte as it was.
namespace Registry {

namespace {

// Seven short numbers never need more; a larger file is read as no settings, without reading it.
constexpr qint64 kMaxFileBytes = 64 * 1024;
// A save holds the lock for milliseconds; one that cannot have it within this time belongs to
// something stuck, and the save is skipped rather than waited for.
constexpr std::chrono::milliseconds kLockWait{2000};
// Short, so that several programs saving at once take turns instead of sleeping through the
// moments the lock is free.
constexpr std::chrono::milliseconds kLockRetry{2};
// A save writes its copy within milliseconds; one this old was left by a save killed before it
// could rename it.
constexpr time_t kLeftoverSeconds = 60;
constexpr qsizetype kTempDigits = 8;

// An open file descriptor, closed when it goes.
class Descriptor
{
  public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    Descriptor(Descriptor &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Descriptor &operator=(Descriptor &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

  private:
    int m_fd;
};

// The XDG base directory rules: XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString ConfigFolder()
{
    const QString configured = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (QDir::isAbsolutePath(configured))
        return configured;
    const QString home = QFile::decodeName(qgetenv("HOME"));
    return QDir::isAbsolutePath(home) ? home + QStringLiteral("/.config") : QString();
}

struct StorePaths
{
    QByteArray config, folder, file, lock;
};

// The config folder, the organisation's folder in it, the settings file and its lock. The lock
// has a name of its own: earlier versions left Vorpa.conf.lock (and .rmlock) files that blocked or
// hung a save, and one of another user's there could not be replaced without two saves racing.
std::optional<StorePaths> PathsFor(const QString &organisation, const QString &application)
{
    const QString config = ConfigFolder();
    if (config.isEmpty())
        return std::nullopt;
    const QString folder = config + u'/' + organisation;
    return StorePaths{QFile::encodeName(config), QFile::encodeName(folder),
                      QFile::encodeName(folder + u'/' + application + QStringLiteral(".conf")),
                      QFile::encodeName(folder + u'/' + application + QStringLiteral(".lock"))};
}

// A folder only the user can change, as a careful server checks its own: anyone else who may
// write there could put a link where the settings file belongs and have a save rewrite another
// of the user's files.
bool IsOwnFolder(const QByteArray &path)
{
    struct stat status = {};
    return ::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == geteuid() && (status.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool InOwnFolders(const StorePaths &paths)
{
    return IsOwnFolder(paths.config) && IsOwnFolder(paths.folder);
}

// Creates the folder and its missing parents, each 0700 whatever the umask (XDG base directory
// rules), but only inside a folder of the user's own or of root's: run as root with a pupil's
// HOME (as sudo may), the program must not leave a folder of root's in the pupil's home.
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
        if (errno != ENOENT || (parentOwner != geteuid() && parentOwner != 0))
            return false;
        if (::mkdir(path.constData(), 0700) == 0)
            ::chmod(path.constData(), 0700);
        if (::stat(path.constData(), &status) != 0)
            return false;
    }
    return S_ISDIR(status.st_mode);
}

// The bytes of a regular file of at most kMaxFileBytes, empty when there is no file; nothing
// when something else stands there or it cannot be read. Opened without blocking, so that a
// named pipe or a device cannot hold the program up.
std::optional<QByteArray> ReadSmallFile(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return errno == ENOENT ? std::optional<QByteArray>(QByteArray()) : std::nullopt;
    struct stat status = {};
    QFile file;
    if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > kMaxFileBytes ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kMaxFileBytes + 1);
    if (bytes.size() > kMaxFileBytes || file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// Advisory locks on bytes of the lock file: the first is held by the save under way, the
// second shared by the saves waiting for it, the third by those that came while others waited.
struct flock ByteRange(short type, off_t first, off_t count = 1)
{
    struct flock range = {};
    range.l_type = type;
    range.l_whence = SEEK_SET;
    range.l_start = first;
    range.l_len = count;
    return range;
}

bool LockBytes(int fd, short type, off_t first, off_t count = 1)
{
    struct flock range = ByteRange(type, first, count);
    return ::fcntl(fd, F_OFD_SETLK, &range) == 0;
}

bool HeldByOthers(int fd, off_t first, off_t count = 1)
{
    struct flock range = ByteRange(F_WRLCK, first, count);
    return ::fcntl(fd, F_OFD_GETLK, &range) == 0 && range.l_type != F_UNLCK;
}

// Two saves at once take turns. The locks belong to the open file and the kernel drops them when
// the process ends, however it ends, so a killed save leaves nothing behind that blocks the
// next; the file itself is never read or written. It is opened without following a link and
// without blocking, and only a regular file of the user's own is locked. A save that finds
// others waiting queues behind all of them and tries for the lock only once they have had it,
// so that a program saving again and again cannot keep it from the others. Invalid when the
// lock is not had within kLockWait.
Descriptor TakeLock(const QByteArray &path)
{
    Descriptor lock(::open(
        path.constData(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0600));
    struct stat status = {};
    if (lock.get() < 0 || ::fstat(lock.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        status.st_uid != geteuid())
        return Descriptor();
    const int fd = lock.get();
    if (!HeldByOthers(fd, 1, 2) && LockBytes(fd, F_WRLCK, 0))
        return lock;
    LockBytes(fd, F_RDLCK, 2);
    bool waiting = false; // among those next in turn
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        if (!waiting && !HeldByOthers(fd, 1))
            waiting = LockBytes(fd, F_RDLCK, 1);
        if (waiting && LockBytes(fd, F_WRLCK, 0)) {
            LockBytes(fd, F_UNLCK, 1, 2);
            return lock;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return Descriptor();
        std::this_thread::sleep_for(kLockRetry);
    }
}

// The file a save may replace: the settings file or, when that is a symbolic link, the file it
// leads to; either must be a regular file of the user's own that the user has not made
// read-only. Nothing when the save must leave what stands there alone.
struct Target
{
    QByteArray path;
    bool throughLink = false;
    mode_t mode = 0600; // a new file's, whatever the umask
};

std::optional<Target> SaveTarget(const QByteArray &path)
{
    struct stat status = {};
    if (::lstat(path.constData(), &status) != 0)
        return errno == ENOENT ? std::optional<Target>(Target{path}) : std::nullopt;
    Target target{path, S_ISLNK(status.st_mode)};
    if (target.throughLink) {
        // empty when the link leads nowhere
        target.path = QFile::encodeName(QFileInfo(QFile::decodeName(path)).canonicalFilePath());
        if (target.path.isEmpty() || ::stat(target.path.constData(), &status) != 0)
            return std::nullopt;
    }
    if (!S_ISREG(status.st_mode) || status.st_uid != geteuid() || !(status.st_mode & S_IWUSR))
        return std::nullopt;
    target.mode = status.st_mode & 0777;
    return target;
}

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

// Removes the copies of saves killed between writing and renaming them: only names of this
// store's own pattern, only regular files of the user's own, only ones older than a save takes.
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

// Writes the text beside the target and renames it over it: a reader sees the old file or the
// new one, never half of either, and a write that fails part-way (a full disk) leaves the old
// one whole. The copy reaches the disk before the rename, so that a crash cannot leave a
// settings file whose blocks were never written.
bool ReplaceFile(const Target &target, QByteArrayView text)
{
    QByteArray temp;
    Descriptor file;
    for (int tries = 0; file.get() < 0; ++tries) {
        if (tries == 16)
            return false;
        temp = TempName(target.path);
        file = Descriptor(::open(temp.constData(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY,
                                 0600));
        if (file.get() < 0 && errno != EEXIST)
            return false;
    }
    bool written = ::fchmod(file.get(), target.mode) == 0 && WriteWhole(file.get(), text) &&
                   (::fsync(file.get()) == 0 || errno == EINVAL);
    written = ::close(file.release()) == 0 && written;
    if (!written || ::rename(temp.constData(), target.path.constData()) != 0) {
        ::unlink(temp.constData());
        return false;
    }
    return true;
}

} // namespace

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
