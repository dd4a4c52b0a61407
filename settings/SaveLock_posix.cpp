#include "SaveLock_posix.h"
#include "StoreLog.h"

#include <chrono>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Registry {

namespace {

// A save holds the lock for milliseconds; one that cannot have it within this time belongs to
// something stuck, and the save is skipped rather than waited for.
constexpr std::chrono::milliseconds kLockWait{2000};
// Short, so that several programs saving at once take turns instead of sleeping through the
// moments the lock is free.
constexpr std::chrono::milliseconds kLockRetry{2};

// The bytes of the lock file that carry advisory locks; the file itself is never read or
// written. The save under way holds the first alone; the saves next in turn share the second,
// and those that came while others waited share the third.
constexpr off_t kSavingByte = 0;
constexpr off_t kNextByte = 1;
constexpr off_t kQueuedByte = 2;

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

// Waits its turn for the lock on the open file, until the deadline.
bool LockInTurn(int fd, std::chrono::steady_clock::time_point deadline)
{
    if (!HeldByOthers(fd, kNextByte, 2) && LockBytes(fd, F_WRLCK, kSavingByte))
        return true;
    LockBytes(fd, F_RDLCK, kQueuedByte);
    bool waiting = false; // among those next in turn
    for (;;) {
        if (!waiting && !HeldByOthers(fd, kNextByte))
            waiting = LockBytes(fd, F_RDLCK, kNextByte);
        if (waiting && LockBytes(fd, F_WRLCK, kSavingByte)) {
            LockBytes(fd, F_UNLCK, kNextByte, 2);
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(kLockRetry);
    }
}

} // namespace

Descriptor TakeLock(int folder, const QByteArray &name, const QByteArray &shown)
{
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        Descriptor lock(::openat(folder, name.constData(),
                                 O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY,
                                 0600));
        struct stat status = {};
        if (lock.get() < 0 || ::fstat(lock.get(), &status) != 0 || !S_ISREG(status.st_mode) ||
            status.st_uid != geteuid()) {
            qCInfo(lcStore, "save skipped: %s is no regular file of the user's own",
                   shown.constData());
            return Descriptor();
        }
        if (!LockInTurn(lock.get(), deadline)) {
            qCInfo(lcStore, "save skipped: another save held %s for %lld ms", shown.constData(),
                   static_cast<long long>(kLockWait.count()));
            return Descriptor();
        }
        // Still the file under that name: a lock on one deleted meanwhile keeps no one out.
        struct stat named = {};
        if (::fstatat(folder, name.constData(), &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == status.st_dev && named.st_ino == status.st_ino)
            return lock;
        if (std::chrono::steady_clock::now() >= deadline) {
            qCInfo(lcStore, "save skipped: %s was deleted again and again", shown.constData());
            return Descriptor();
        }
    }
}

} // namespace Registry
