#include "StoreLocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>

#include <algorithm>
#include <optional>
#include <utility>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// The settings live in <config folder>/<organisation>/<application>.conf, one "name=value" line
// each, read and written by the code below. The file may be edited by hand: a save changes only
// the values it stores and keeps every other byte as it was.
namespace Registry {

namespace {

// Seven short numbers never need more; a larger file is read as no settings, without reading it.
constexpr qint64 kMaxFileBytes = 64 * 1024;
// A save takes milliseconds; a lock held longer than this belongs to something stuck, and the
// save is skipped rather than waited for.
constexpr int kLockWaitMs = 2000;

// The XDG base directory rules: XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString ConfigFolder()
{
    const QString configured = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (QDir::isAbsolutePath(configured))
        return configured;
    const QString home = QFile::decodeName(qgetenv("HOME"));
    return QDir::isAbsolutePath(home) ? home + QStringLiteral("/.config") : QString();
}

QString StoreFile(const QString &organisation, const QString &application)
{
    const QString folder = ConfigFolder();
    if (folder.isEmpty())
        return {};
    return folder + u'/' + organisation + u'/' + application + QStringLiteral(".conf");
}

// The bytes of a regular file of at most kMaxFileBytes, empty when there is no file; nothing
// when something else stands there or it cannot be read. Opened without blocking, so that a
// named pipe or a device cannot hold the program up.
std::optional<QByteArray> ReadSmallFile(const QString &path)
{
    const int fd =
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
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

// A value of the general section: the name as written and where the value's bytes lie.
struct Entry
{
    QByteArray name;
    qsizetype valueStart, valueEnd;
};

// The file as reading and saving see it. Lines are blank, comments (";" or "#"), sections
// ("[name]") or values ("name=value", the name without blanks); values before any section and
// under [General] form the general section, the only one read. Blanks around names and values
// do not count.
struct Layout
{
    QList<Entry> entries; // in the order of the file
    // Where a value the file lacks goes: after the general section's last value.
    qsizetype insertAt = 0;
    bool insertAfterOpenLine = false; // the line before insertAt is the last, without a line end
    // False when some line is none of the above: a diary or a script, not ours to rewrite.
    bool settingsOnly = true;
    QByteArray lineEnd = "\n"; // the file's own, taken from its first line
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

Layout Scan(const QByteArray &bytes)
{
    Layout layout;
    bool general = true, generalHeaderSeen = false, lineEndSeen = false;
    qsizetype start = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    layout.insertAt = start;
    while (start < bytes.size()) {
        const qsizetype newline = bytes.indexOf('\n', start);
        const qsizetype next = newline < 0 ? bytes.size() : newline + 1;
        if (newline >= 0 && !std::exchange(lineEndSeen, true))
            layout.lineEnd = newline > start && bytes[newline - 1] == '\r' ? "\r\n" : "\n";
        qsizetype b = start, e = newline < 0 ? bytes.size() : newline;
        while (b < e && IsBlank(bytes[b]))
            ++b;
        while (e > b && IsBlank(bytes[e - 1]))
            --e;
        const QByteArrayView line(bytes.constData() + b, e - b);
        const qsizetype equals = line.indexOf('=');
        const QByteArrayView name = line.first(std::max<qsizetype>(equals, 0)).trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#')) {
            // blank, or a comment
        } else if (line.startsWith('[') && line.endsWith(']')) {
            const QByteArrayView section = line.sliced(1, line.size() - 2).trimmed();
            general = section.compare("General", Qt::CaseInsensitive) == 0;
            if (general && !generalHeaderSeen && layout.entries.isEmpty()) {
                layout.insertAt = next;
                layout.insertAfterOpenLine = newline < 0;
            }
            generalHeaderSeen = generalHeaderSeen || general;
        } else if (name.isEmpty() || name.contains(' ') || name.contains('\t')) {
            layout.settingsOnly = false;
        } else if (general) {
            qsizetype value = b + equals + 1;
            while (value < e && IsBlank(bytes[value]))
                ++value;
            layout.entries.append({name.toByteArray(), value, e});
            layout.insertAt = next;
            layout.insertAfterOpenLine = newline < 0;
        }
        start = next;
    }
    return layout;
}

const Entry *Find(const Layout &layout, const QString &name)
{
    for (const Entry &entry : layout.entries) {
        if (QString::fromLatin1(entry.name).compare(name, Qt::CaseInsensitive) == 0)
            return &entry;
    }
    return nullptr;
}

// Creates the folder and its missing parents, each 0700 whatever the umask (XDG base directory
// rules).
bool MakeFolders(const QString &folder)
{
    QString path;
    for (const QString &part : folder.split(u'/', Qt::SkipEmptyParts)) {
        path += u'/' + part;
        const QByteArray name = QFile::encodeName(path);
        if (::mkdir(name.constData(), 0700) == 0) {
            ::chmod(name.constData(), 0700);
            continue;
        }
        struct stat status = {};
        if (errno != EEXIST || ::stat(name.constData(), &status) != 0 || !S_ISDIR(status.st_mode))
            return false;
    }
    return true;
}

// The file a save may replace: the settings file or, when that is a symbolic link, the file it
// leads to; either must be a regular file of the user's own. Nothing when the save must leave
// what stands there alone.
struct Target
{
    QString path;
    bool exists;
};

std::optional<Target> SaveTarget(const QString &path)
{
    struct stat status = {};
    if (::lstat(QFile::encodeName(path).constData(), &status) != 0)
        return errno == ENOENT ? std::optional<Target>(Target{path, false}) : std::nullopt;
    QString target = path;
    if (S_ISLNK(status.st_mode)) {
        target = QFileInfo(path).canonicalFilePath(); // empty when the link leads nowhere
        if (target.isEmpty() || ::stat(QFile::encodeName(target).constData(), &status) != 0)
            return std::nullopt;
    }
    if (!S_ISREG(status.st_mode) || status.st_uid != geteuid())
        return std::nullopt;
    return Target{target, true};
}

} // namespace

QVariant ReadStoredValue(const QString &organisation, const QString &application,
                         const QString &valueName)
{
    const QString path = StoreFile(organisation, application);
    const std::optional<QByteArray> bytes = path.isEmpty() ? std::nullopt : ReadSmallFile(path);
    if (!bytes)
        return {};
    const Layout layout = Scan(*bytes);
    const Entry *entry = Find(layout, valueName);
    if (entry == nullptr)
        return {};
    // Bytes one for one, so that nothing but ASCII digits can make a number.
    return QString::fromLatin1(bytes->mid(entry->valueStart, entry->valueEnd - entry->valueStart));
}

bool WriteStoredValues(const QString &organisation, const QString &application,
                       const QList<std::pair<QString, qint32>> &values)
{
    const QString path = StoreFile(organisation, application);
    if (path.isEmpty() || !MakeFolders(QFileInfo(path).path()))
        return false;

    // Two saves at once take turns. QLockFile reads whatever stands at the lock's place, so
    // anything but a regular file there (a named pipe would block for ever) skips the save.
    const QString lockPath = path + QStringLiteral(".lock");
    struct stat status = {};
    if (::lstat(QFile::encodeName(lockPath).constData(), &status) == 0 && !S_ISREG(status.st_mode))
        return false;
    QLockFile lock(lockPath);
    if (!lock.tryLock(kLockWaitMs))
        return false;

    const std::optional<Target> target = SaveTarget(path);
    const std::optional<QByteArray> old = target ? ReadSmallFile(target->path) : std::nullopt;
    if (!old)
        return false;
    const Layout layout = Scan(*old);
    if (!layout.settingsOnly)
        return false;

    // Values the file lacks go in one block; then each one it has gets its new number, from
    // the end of the file backwards so that the offsets still hold.
    QByteArray text = *old, added;
    QList<std::pair<const Entry *, QByteArray>> changes;
    for (const auto &[name, value] : values) {
        if (const Entry *entry = Find(layout, name))
            changes.append({entry, QByteArray::number(value)});
        else
            added += name.toLatin1() + '=' + QByteArray::number(value) + layout.lineEnd;
    }
    if (!added.isEmpty() && layout.insertAfterOpenLine)
        added.prepend(layout.lineEnd);
    text.insert(layout.insertAt, added);
    std::sort(changes.begin(), changes.end(), [](const auto &a, const auto &b) {
        return a.first->valueStart > b.first->valueStart;
    });
    for (const auto &[entry, number] : changes)
        text.replace(entry->valueStart, entry->valueEnd - entry->valueStart, number);

    if (text.size() > kMaxFileBytes)
        return false; // it would no longer be read

    // Written beside the old file and renamed over it: a reader sees the old file or the new
    // one, never half of either.
    QSaveFile file(target->path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!target->exists)
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // commit() misses a failure of the last buffered write (a full disk) and would put the cut
    // file in place, so the bytes are written out, and checked, first.
    if (file.write(text) != text.size() || !file.flush())
        return false; // the half-written copy goes with `file`
    return file.commit();
}

} // namespace Registry
