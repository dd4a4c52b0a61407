#include "Registry.h"
#include "SettingsText.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <climits>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

using Registry::StoredValues;

namespace {

// The folders the store puts on the disk, by inode, and 0 for each rename: the store's calls
// pass through these definitions of fsync and renameat on to the C library's.
QList<ino_t> g_flushes;
int g_logged = 0; // lines in the store's log

} // namespace

extern "C" int fsync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(dlsym(RTLD_NEXT, "fsync"));
    struct stat status = {};
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode))
        g_flushes << status.st_ino;
    return real(fd);
}

extern "C" int renameat(int from, const char *old, int to, const char *name)
{
    static const auto real = reinterpret_cast<int (*)(int, const char *, int, const char *)>(
        dlsym(RTLD_NEXT, "renameat"));
    g_flushes << 0;
    return real(from, old, to, name);
}

namespace {

ino_t Inode(const QString &path)
{
    struct stat status = {};
    return stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : 0;
}

// What every save here stores, and its lines in a file that had none of the values.
const QuizSettings kNext{{}, -3, 3, 0, 9, Operation::Power, true, true};
const QByteArray kNextLines("ExampleType=6\nExampleDifficult=1\nExampleMin1=-3\nExampleMax1=3\n"
                            "ExampleMin2=0\nExampleMax2=9\nIntellectualMode=1\n");

QByteArray ReadAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Kind, inode, size, time and (for a small regular file, also behind a link) bytes at each path;
// pipes unopened.
QByteArray Snapshot(const QStringList &paths)
{
    QByteArray all;
    for (const QString &path : paths) {
        struct stat status = {};
        lstat(QFile::encodeName(path).constData(), &status);
        const QFileInfo info(path);
        for (const qint64 number : {qint64(status.st_mode), qint64(status.st_ino),
                                    qint64(status.st_size), qint64(status.st_mtim.tv_nsec)})
            all += QByteArray::number(number) + ' ';
        all += (info.isFile() && info.size() <= 1 << 20 ? ReadAll(path) : QByteArray()) + '\n';
    }
    return all;
}

QStringList Names(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden |
                                  QDir::NoDotAndDotDot);
}

// Holds the settings lock as another program's save would: a lock on the first byte of the lock
// file, dropped when the descriptor is closed.
int HoldSaveLock(const QString &path)
{
    const int fd = open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    struct flock range = {};
    range.l_type = F_WRLCK;
    range.l_whence = SEEK_SET;
    range.l_len = 1;
    return fd >= 0 && fcntl(fd, F_OFD_SETLK, &range) == 0 ? fd : -1;
}

bool MakeOlder(const QString &path, int seconds)
{
    const QDateTime then = QDateTime::currentDateTime().addSecs(-seconds);
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(then, QFileDevice::FileModificationTime);
}

bool GiveAway(const QString &path)
{
    return lchown(QFile::encodeName(path).constData(), 65534, 65534) == 0;
}

bool Relink(const QString &path, const QString &target)
{
    return QFile::remove(path) && QFile::link(target, path);
}

bool MakeFifo(const QString &path)
{
    return QFile::remove(path) && mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

bool Chmod(const QString &path, mode_t mode)
{
    return chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// What a row of a table does to the files before the store meets them; false when it could not.
using SetUp = std::function<bool()>;

} // namespace

Q_DECLARE_METATYPE(StoredValues)
Q_DECLARE_METATYPE(SetUp)

class RegistryTest : public QObject
{
    Q_OBJECT
    QString settingsFolder() const { return m_dir->filePath("config/Quorvantelle"); }
    QString settingsFile() const { return settingsFolder() + "/Vorpa.conf"; }
    QString lockFile() const { return settingsFolder() + "/Vorpa.lock"; }
    QString configFolder() const { return m_dir->filePath("config"); }
    QString otherFile() const { return m_dir->filePath("x"); }
    std::optional<QTemporaryDir> m_dir;
    int m_held = -1; // a lock another save holds
    rlimit m_limit = {};

  private Q_SLOTS:
    // The store uses only folders no one else may write to; those made here must pass that,
    // whatever the developer's umask.
    void initTestCase()
    {
        umask(022);
        static const QtMessageHandler passOn = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &text) {
                g_logged += QByteArrayView(context.category) == "vorpa.settings";
                passOn(type, context, text);
            });
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &m_limit), 0);
    }
    void init()
    {
        QVERIFY(m_dir.emplace().isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configFolder()));
    }
    void cleanup()
    {
        g_logged = 0;
        setrlimit(RLIMIT_FSIZE, &m_limit);
        if (m_held >= 0)
            close(std::exchange(m_held, -1));
    }

    // A first run reads zeros and creates nothing. A relative XDG_CONFIG_HOME does not count;
    // under umask 277 all a save makes is the user's alone.
    void firstSave()
    {
        const QString home = m_dir->filePath("home"),
                      file = home + "/.config/Quorvantelle/Vorpa.conf";
        qputenv("HOME", QFile::encodeName(home));
        qputenv("XDG_CONFIG_HOME", "config");
        const QString folder = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir->path()));
        QCOMPARE(Registry::LoadSettings(), StoredValues{});
        QVERIFY(QDir(m_dir->path()).isEmpty());
        const mode_t mask = umask(0277);
        const QuizSettings quiz{{}, INT_MIN, INT_MAX, -5, 0, Operation::Logarithm, true, true};
        g_flushes.clear();
        const bool saved = Registry::SaveSettings(quiz);
        umask(mask);
        QDir::setCurrent(folder);
        QVERIFY(saved);
        QCOMPARE(ReadAll(file), "ExampleType=7\nExampleDifficult=1\nExampleMin1=-2147483648\n"
                                "ExampleMax1=2147483647\nExampleMin2=-5\nExampleMax2=0\n"
                                "IntellectualMode=1\n");
        for (const QString &path : {home + "/.config", home + "/.config/Quorvantelle", file}) {
            struct stat status = {};
            QCOMPARE(stat(QFile::encodeName(path).constData(), &status), 0);
            QCOMPARE(status.st_mode & 0777, path == file ? 0600u : 0700u);
        }
        QVERIFY(!QFileInfo::exists(m_dir->filePath("config")));
        // Each folder made is on the disk before the next, and the rename once it is done.
        QCOMPARE(g_flushes,
                 (QList<ino_t>{Inode(m_dir->path()), Inode(home), Inode(home + "/.config"), 0,
                               Inode(QFileInfo(file).path())}));
        QCOMPARE(Registry::LoadSettings(), (StoredValues{7, 1, INT_MIN, INT_MAX, -5, 0, 1}));
    }

    void savesThroughALinkOnceUnlocked_data()
    {
        QTest::addColumn<bool>("madeAnew");
        QTest::addColumn<int>("waits"); // ms
        QTest::addRow("released") << false << 100;
        QTest::addRow("deleted and made anew by another save") << true << 300;
    }

    // A save waits for a lock released in time, rather than losing the choices or writing beside
    // the other save, and goes through a link to one of the user's own files. A lock file deleted
    // while it waits and made anew by another save that holds it: it takes turns on the new one
    // rather than going ahead on the old one.
    void savesThroughALinkOnceUnlocked()
    {
        QFETCH(bool, madeAnew);
        QFETCH(int, waits);
        const QString real = m_dir->filePath("dotfiles/vorpa.conf");
        QVERIFY(WriteAll(real, "ExampleType=3\n"));
        QVERIFY(QDir().mkpath(settingsFolder()));
        QVERIFY(QFile::link(real, settingsFile()));
        const int held = HoldSaveLock(lockFile());
        QVERIFY(held >= 0);
        QElapsedTimer timer;
        timer.start();
        std::thread other([this, held, madeAnew] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            const int again = madeAnew && QFile::remove(lockFile()) ? HoldSaveLock(lockFile()) : -1;
            close(held);
            std::this_thread::sleep_for(std::chrono::milliseconds(again >= 0 ? 200 : 0));
            again >= 0 && close(again);
        });
        const bool saved = Registry::SaveSettings(kNext);
        const qint64 waited = timer.elapsed();
        other.join();
        QVERIFY(saved);
        QVERIFY2(waited >= waits, QByteArray::number(waited));
        QVERIFY(QFileInfo(settingsFile()).isSymLink());
        QCOMPARE(ReadAll(real), kNextLines);
    }

    void handEditedFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<StoredValues>("read");
        QTest::addColumn<QByteArray>("saved"); // the contents themselves when the save is skipped
        QTest::newRow("comments, names in other case, other sections, CRLF, byte order mark")
            << QByteArray("\xEF\xBB\xBF; mine\r\nexampleTYPE = 4 \r\na/b=1\r\nExampleMax1=\x01\xff"
                          "\r\nExampleMin1=-7\r\nExampleMin1=8\r\n\r\n[Other]\r\nExampleMax2=5\r\n"
                          "[General]\r\nExampleMax2 =9")
            << StoredValues{4, 0, -7, 0, 0, 9, 0}
            << QByteArray("\xEF\xBB\xBF; mine\r\nexampleTYPE = 6 \r\na/b=1\r\nExampleMax1=3\r\n"
                          "ExampleMin1=-3\r\nExampleMin1=8\r\n\r\n[Other]\r\nExampleMax2=5\r\n"
                          "[General]\r\nExampleMax2 =9\r\nExampleDifficult=1\r\nExampleMin2=0\r\n"
                          "IntellectualMode=1\r\n");
        QTest::newRow("binary bytes, not whole numbers, outside 32 bits")
            << QByteArrayLiteral(
                   "ExampleType=4\0junk\nExampleDifficult=\"1\"\nExampleMin1=3.5\n"
                   "ExampleMax1=0x10\nExampleMin2=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\xc)\n"
                   "ExampleMax2=-2147483649\nIntellectualMode=2147483647\n")
            << StoredValues{0, 0, 0, 0, 0, 0, INT_MAX}
            << QByteArray("ExampleDifficult=1\nExampleMin1=-3\nExampleMax1=3\nExampleMin2=0\n"
                          "ExampleMax2=9\nIntellectualMode=1\nExampleType=6\n");
        QTest::newRow("values of 1024 and 1025 bytes")
            << "ExampleMax1=" + QByteArray(1022, '0') + "42\nExampleMin1=" + QByteArray(1023, '0') +
                   "42\n"
            << StoredValues{0, 0, 0, 42, 0, 0, 0}
            << QByteArray("ExampleMax1=3\nExampleMin1=-3\nExampleType=6\nExampleDifficult=1\n"
                          "ExampleMin2=0\nExampleMax2=9\nIntellectualMode=1\n");
        // A file of 64 KiB is read, and a save may make one; a byte more is too much for both.
        const QByteArray kib64 = "ExampleType=3\n;" + QByteArray(64 * 1024 - 15, 'x');
        const QByteArray fits = kib64.chopped(kNextLines.size() - 14);
        QTest::newRow("saved to 64 KiB")
            << fits << StoredValues{3, 0, 0, 0, 0, 0, 0} << kNextLines + fits.mid(14);
        QTest::newRow("64 KiB, saved to more")
            << kib64 << StoredValues{3, 0, 0, 0, 0, 0, 0} << kib64;
        QTest::newRow("a byte over 64 KiB") << kib64 + 'x' << StoredValues{} << kib64 + 'x';
        // The user's own file heals: what a crash or a hand left that is no settings line goes.
        QTest::newRow("NULs only") << QByteArray(140, '\0') << StoredValues{} << kNextLines;
        QTest::newRow("a byte order mark below the top") << QByteArrayLiteral("\0\n\xEF\xBB\xBF"
                                                                              "ExampleMin1=4\n")
                                                         << StoredValues{} << kNextLines;
        QTest::newRow("CR, then LF line ends around a damaged line")
            << QByteArrayLiteral("ExampleType=4\r\0\n\nx=1\n") << StoredValues{4, 0, 0, 0, 0, 0, 0}
            << QByteArray(
                   "ExampleType=6\r\rx=1\nExampleDifficult=1\rExampleMin1=-3\rExampleMax1=3\r"
                   "ExampleMin2=0\rExampleMax2=9\rIntellectualMode=1\r");
    }

    // Bad values read 0; a save changes only the seven values and drops damaged lines, replacing
    // the file whole.
    void handEditedFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QByteArray, saved);
        QVERIFY(WriteAll(settingsFile(), contents));
        QTEST(Registry::LoadSettings(), "read");
        QFile old(settingsFile());
        QVERIFY(old.open(QIODevice::ReadOnly));
        QCOMPARE(Registry::SaveSettings(kNext), saved != contents);
        QCOMPARE(ReadAll(settingsFile()), saved);
        QCOMPARE(old.readAll(), contents);
    }

    void unusualFile_data()
    {
        QTest::addColumn<StoredValues>("read");
        QTest::addColumn<bool>("asRoot"); // gives a file to another user
        QTest::addColumn<SetUp>("setUp");
        const StoredValues none, three{3, 0, 0, 0, 0, 0, 0};
        const auto row = [](const char *name, StoredValues read, SetUp setUp) {
            QTest::addRow("%s", name) << read << false << setUp;
        };
        const auto rootRow = [](const char *name, StoredValues read, SetUp setUp) {
            QTest::addRow("%s", name) << read << true << setUp;
        };
        row("named pipe", none, [this] { return MakeFifo(settingsFile()); });
        row("link to /dev/zero", none, [this] { return Relink(settingsFile(), "/dev/zero"); });
        row("link to a folder", none, [this] { return Relink(settingsFile(), m_dir->path()); });
        row("file where the config folder belongs", none, [this] {
            return QDir(configFolder()).removeRecursively() && WriteAll(configFolder(), "");
        });
        row("folder writable by others", none, [this] { return Chmod(settingsFolder(), 0777); });
        row("config folder in one others may write to", none,
            [this] { return Chmod(m_dir->path(), 0777); });
        row("config folder writable by its group", none,
            [this] { return Chmod(configFolder(), 0770); });
        rootRow("another user's folder, with a link", none, [this] {
            return Relink(settingsFile(), otherFile()) && GiveAway(settingsFolder());
        });
        rootRow("link to another user's settings", three,
                [this] { return Relink(settingsFile(), otherFile()) && GiveAway(otherFile()); });
        row("link to the user's own diary", three, [this] {
            return WriteAll(otherFile(), "Dear diary,\nExampleType=3\n") &&
                   Relink(settingsFile(), otherFile());
        });
        row("read-only file", three, [this] { return Chmod(settingsFile(), 0400); });
        row("named pipe at the lock", three, [this] { return MakeFifo(lockFile()); });
        row("folder at the lock", three,
            [this] { return QFile::remove(lockFile()) && QDir().mkdir(lockFile()); });
        row("link at the lock", three, [this] { return Relink(lockFile(), otherFile()); });
        row("link at the lock to no file", three, [this] {
            return QFile::remove(otherFile()) && Relink(lockFile(), otherFile());
        });
        rootRow("another user's lock", three, [this] { return GiveAway(lockFile()); });
        row("lock held", three, [this] { return (m_held = HoldSaveLock(lockFile())) >= 0; });
        // A write that fails half-way (EFBIG, as on a full disk) leaves the old file whole and
        // does not end the program (by SIGXFSZ).
        row("file size limit", three, [this] {
            const rlimit small = {256, m_limit.rlim_max};
            return WriteAll(settingsFile(), "ExampleType=3\n" + QByteArray(300, ' ')) &&
                   setrlimit(RLIMIT_FSIZE, &small) == 0;
        });
    }

    // What could block, read without end or write astray reads as nothing; saves leave it be. So
    // do folders someone else may write to, where a link could lead a save to another file.
    void unusualFile()
    {
        QFETCH(bool, asRoot);
        QFETCH(SetUp, setUp);
        QVERIFY(WriteAll(settingsFile(), "ExampleType=3\n"));
        QVERIFY(WriteAll(lockFile(), "")); // as an earlier save leaves it
        QVERIFY(WriteAll(otherFile(), "ExampleType=3\n"));
        if (asRoot && geteuid() != 0)
            QSKIP("only root can give a file to another user");
        QVERIFY(setUp());
        const QStringList places = {settingsFile(), lockFile(), otherFile(), configFolder()};
        const QByteArray before = Snapshot(places);
        const QStringList names = Names(settingsFolder());
        QTEST(Registry::LoadSettings(), "read");
        QVERIFY(!Registry::SaveSettings(kNext));
        QCOMPARE(g_logged, 0); // unless asked for
        QCOMPARE(Snapshot(places), before);
        QCOMPARE(Names(settingsFolder()), names);
    }

    // Turned on, the store's log says in one line why a save did not happen.
    void logsWhyASaveWasSkipped()
    {
        QVERIFY(QDir().mkpath(settingsFolder()) && Chmod(configFolder(), 0775));
        QLoggingCategory::setFilterRules("vorpa.settings.info=true");
        const bool saved = Registry::SaveSettings(kNext);
        QLoggingCategory::setFilterRules({});
        QVERIFY(!saved);
        QCOMPARE(g_logged, 1);
    }

    // Another program of the user's swapping the config folder again and again with one whose
    // settings file leads to another of the user's files, between the store's checks and its
    // writes: the store keeps to the folders it checked, and that file is never rewritten.
    void keepsToTheCheckedFolders()
    {
        const QString bad = m_dir->filePath("bad"), victim = m_dir->filePath("gitconfig");
        QVERIFY(WriteAll(settingsFile(), "ExampleType=3\n"));
        QVERIFY(WriteAll(victim, "[user]\n\tname = Pupil\n"));
        QVERIFY(QDir().mkpath(bad + "/Quorvantelle") && Chmod(bad + "/Quorvantelle", 0777));
        QVERIFY(QFile::link(victim, bad + "/Quorvantelle/Vorpa.conf"));
        std::atomic<bool> stop = false;
        std::thread swapper([&, one = QFile::encodeName(configFolder()),
                             other = QFile::encodeName(bad)] {
            while (!stop) {
                renameat2(AT_FDCWD, one.constData(), AT_FDCWD, other.constData(), RENAME_EXCHANGE);
                std::this_thread::sleep_for(std::chrono::microseconds(20));
            }
        });
        // Most saves find the folder that others may write to and are skipped.
        int saved = 0;
        QElapsedTimer timer;
        timer.start();
        while (saved < 200 && timer.elapsed() < 10000)
            saved += Registry::SaveSettings(kNext);
        stop = true;
        swapper.join();
        QCOMPARE(ReadAll(victim), "[user]\n\tname = Pupil\n");
        QVERIFY2(saved >= 20, QByteArray::number(saved)); // the race was run
    }

    void configPathAsBytes_data()
    {
        QTest::addColumn<QByteArray>("name"); // of the config folder, in the test's folder
        QTest::addColumn<int>("size");        // of its path, with folders of 'd' between
        QTest::addRow("a byte that is not UTF-8") << QByteArray("caf\xe9") << 0;
        // A copy's path is 13 bytes longer than the file's: over PATH_MAX from here on.
        QTest::addRow("4 060 bytes") << QByteArray("config") << 4060;
    }

    // The config folder is the one the environment names byte for byte, however long its path.
    void configPathAsBytes()
    {
        QFETCH(QByteArray, name);
        QFETCH(int, size);
        QByteArray config = QFile::encodeName(m_dir->path());
        while (config.size() + 1 + name.size() < size)
            config +=
                '/' +
                QByteArray(std::min<qsizetype>(200, size - config.size() - 2 - name.size()), 'd');
        config += '/' + name;
        qputenv("XDG_CONFIG_HOME", config);
        QVERIFY(Registry::SaveSettings(kNext));
        QCOMPARE(access((config + "/Quorvantelle/Vorpa.conf").constData(), R_OK), 0);
        QCOMPARE(Registry::LoadSettings(), (StoredValues{6, 1, -3, 3, 0, 9, 1}));
    }

    // Lines are found in one pass over the text: 64 KiB of lines ended by CR alone read about as
    // fast as as many ended by LF.
    void readsCrLinesInOnePass()
    {
        qint64 took[2] = {};
        for (const char end : {'\n', '\r'}) {
            const QByteArray text = QByteArray(64 * 1024 - 13, end) + "ExampleType=4";
            QElapsedTimer timer;
            timer.start();
            QCOMPARE(Registry::ValueInText(text, "ExampleType"), QVariant("4"));
            took[end == '\r'] = timer.nsecsElapsed();
        }
        QVERIFY2(took[1] <= 10'000'000 + 2 * took[0], QByteArray::number(took[1]));
    }

    // A save killed between writing its copy and renaming it leaves the copy behind; the next
    // save removes the store's own copies once they are a minute old, and nothing else.
    void removesCopiesOfKilledSaves()
    {
        const QString folder = settingsFolder() + '/';
        QVERIFY(WriteAll(settingsFile(), "ExampleType=3\n"));
        QStringList kept = {"Vorpa.conf.456789ab.tmp", // new: a save may be writing it
                            "Vorpa.conf.backup", "Vorpa.conf.0123ABCD.tmp",
                            "Vorpa.conf.0123abcd.tmp~", "Other.conf.0123abcd.tmp"};
        const QStringList removed = {"Vorpa.conf.0123abcd.tmp", "Vorpa.conf.89abcdef.tmp"};
        for (const QString &name : kept + removed + QStringList{"Vorpa.conf.fedcba98.tmp"}) {
            QVERIFY(WriteAll(folder + name, kNextLines));
            QVERIFY(name == kept.first() || MakeOlder(folder + name, 61));
        }
        if (GiveAway(folder + "Vorpa.conf.fedcba98.tmp"))
            kept << "Vorpa.conf.fedcba98.tmp"; // another user's
        else
            QVERIFY(QFile::remove(folder + "Vorpa.conf.fedcba98.tmp"));
        QVERIFY(Registry::SaveSettings(kNext));
        kept << "Vorpa.conf"
             << "Vorpa.lock";
        kept.sort();
        QCOMPARE(Names(folder).join(u' '), kept.join(u' '));
        QCOMPARE(ReadAll(settingsFile()), kNextLines);
    }

    void takesTurnsWithOtherSaves_data()
    {
        QTest::addColumn<int>("writers");
        QTest::newRow("two") << 2;
        QTest::newRow("four") << 4;
    }

    // Programs saving again and again at once: each save has the lock within its wait, and none
    // is kept from it by one that saves again the moment it is done.
    void takesTurnsWithOtherSaves()
    {
        QFETCH(int, writers);
        // Saves done by all writers, counted in memory they share.
        void *shared = mmap(nullptr, sizeof(std::atomic<int>), PROT_READ | PROT_WRITE,
                            MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        QVERIFY(shared != MAP_FAILED);
        const auto unmap = qScopeGuard([shared] { munmap(shared, sizeof(std::atomic<int>)); });
        auto *done = new (shared) std::atomic<int>(0);
        int go[2], results[2];
        QVERIFY(pipe(go) == 0 && pipe(results) == 0);
        QList<pid_t> children;
        for (int i = 0; i < writers; ++i) {
            children << fork();
            if (children.last() == 0) {
                close(go[1]);
                char start;
                read(go[0], &start, 1); // returns when the parent closes its end
                // the writer, its saves, its failures, the most saves of others during one
                int counts[4] = {i, 0, 0, 0};
                QElapsedTimer timer;
                timer.start();
                while (timer.elapsed() < 1500) {
                    const QuizSettings quiz{{}, i, counts[1], 0, 9, Operation::Power, true, true};
                    const int before = done->load();
                    const bool saved = Registry::SaveSettings(quiz);
                    counts[3] = std::max(counts[3], done->fetch_add(saved ? 1 : 0) - before);
                    ++counts[saved ? 1 : 2];
                }
                _exit(write(results[1], counts, sizeof counts) == sizeof counts ? 0 : 1);
            }
        }
        close(go[0]);
        close(go[1]);
        close(results[1]);
        QList<int> saves(writers);
        int failures = 0, passedBy = 0;
        for (int i = 0; i < writers; ++i) {
            int counts[4] = {};
            QCOMPARE(read(results[0], counts, sizeof counts), qint64(sizeof counts));
            saves[counts[0]] = counts[1];
            failures += counts[2];
            passedBy = std::max(passedBy, counts[3]);
        }
        close(results[0]);
        for (const pid_t child : children)
            waitpid(child, nullptr, 0);
        QByteArray figures = QByteArray::number(failures) + " failed, at most " +
                             QByteArray::number(passedBy) + " others' saves during one; saved";
        for (const int n : saves)
            figures += ' ' + QByteArray::number(n);
        QVERIFY2(failures == 0, figures);
        const auto [fewest, most] = std::minmax_element(saves.cbegin(), saves.cend());
        QVERIFY2(*fewest > 0 && *most <= 4 * *fewest, figures);
        // Another program that saves again and again passes a waiting save hundreds of times in
        // 1.5 s; taking turns, a handful of times, a few dozen when the machine is busy.
        QVERIFY2(passedBy <= 20 * writers, figures);
        // The last save of one writer is what stays, whole.
        const StoredValues last = Registry::LoadSettings();
        QVERIFY(last.ExampleMin1 >= 0 && last.ExampleMin1 < writers);
        QCOMPARE(last,
                 (StoredValues{6, 1, last.ExampleMin1, saves[last.ExampleMin1] - 1, 0, 9, 1}));
        QCOMPARE(Names(settingsFolder()), (QStringList{"Vorpa.conf", "Vorpa.lock"}));
    }

    // Run as root with a pupil's HOME (as sudo may), the program neither reads the pupil's
    // settings nor makes a folder of root's in the pupil's home, which would lock the pupil out.
    void rootLeavesAPupilsHomeAlone()
    {
        if (geteuid() != 0)
            QSKIP("runs only as root");
        const QString home = m_dir->filePath("pupil"),
                      file = home + "/.config/Quorvantelle/Vorpa.conf";
        QVERIFY(QDir().mkdir(home) && GiveAway(home));
        qputenv("HOME", QFile::encodeName(home));
        qunsetenv("XDG_CONFIG_HOME");
        QVERIFY(!Registry::SaveSettings(kNext));
        QCOMPARE(Names(home), QStringList());

        QVERIFY(WriteAll(file, "ExampleType=3\n"));
        for (const QString &path : {home + "/.config", home + "/.config/Quorvantelle", file})
            QVERIFY(GiveAway(path));
        QCOMPARE(Registry::LoadSettings(), StoredValues{});
        QVERIFY(!Registry::SaveSettings(kNext));
        QCOMPARE(ReadAll(file), "ExampleType=3\n");
        QCOMPARE(Names(QFileInfo(file).path()), QStringList{"Vorpa.conf"});
    }
};

QTEST_GUILESS_MAIN(RegistryTest)
#include "tst_registry.moc"
