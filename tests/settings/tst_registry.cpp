#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using Registry::StoredValues;

namespace {

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

// Kind, inode and (for a regular file, also behind a link) bytes at each path; pipes unopened.
QByteArray Snapshot(const QStringList &paths)
{
    QByteArray all;
    for (const QString &path : paths) {
        struct stat status = {};
        lstat(QFile::encodeName(path).constData(), &status);
        all += QByteArray::number(status.st_mode) + ' ' + QByteArray::number(status.st_ino) + ' ' +
               (QFileInfo(path).isFile() ? ReadAll(path) : QByteArray()) + '\n';
    }
    return all;
}

} // namespace

Q_DECLARE_METATYPE(StoredValues)

class RegistryTest : public QObject
{
    Q_OBJECT
    QString settingsFile() const { return m_dir->filePath("config/Quorvantelle/Vorpa.conf"); }
    std::optional<QTemporaryDir> m_dir;

  private Q_SLOTS:
    void init()
    {
        QVERIFY(m_dir.emplace().isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_dir->filePath("config")));
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
        QCOMPARE(Registry::LoadSettings(), (StoredValues{7, 1, INT_MIN, INT_MAX, -5, 0, 1}));
    }

    // A save waits for a lock released in time, rather than losing the choices, and goes through
    // a link to one of the user's own files.
    void savesThroughALinkOnceUnlocked()
    {
        const QString real = m_dir->filePath("dotfiles/vorpa.conf");
        QVERIFY(WriteAll(real, "ExampleType=3\n"));
        QVERIFY(QDir().mkpath(QFileInfo(settingsFile()).path()));
        QVERIFY(QFile::link(real, settingsFile()));
        QLockFile held(settingsFile() + ".lock");
        QVERIFY(held.tryLock(0));
        std::thread release([&held] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            held.unlock();
        });
        const bool saved = Registry::SaveSettings(kNext);
        release.join();
        QVERIFY(saved);
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
            << StoredValues{0, 0, 0, 0, 0, 0, INT_MAX} << kNextLines;
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
        const QByteArray diary("Dear diary,\nExampleType=4\n");
        QTest::newRow("not a settings file") << diary << StoredValues{4, 0, 0, 0, 0, 0, 0} << diary;
    }

    // Bad values read 0; a save changes only the seven values, replacing the file whole.
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
        for (const char *oddity : {"named pipe", "link to /dev/zero", "link to a folder",
                                   "file where the config folder belongs"})
            QTest::newRow(oddity) << StoredValues{};
        for (const char *oddity : {"link to another user's settings", "named pipe at the lock",
                                   "folder at the lock", "lock held", "file size limit"})
            QTest::newRow(oddity) << StoredValues{3, 0, 0, 0, 0, 0, 0};
    }

    // What could block, read without end or write astray reads as nothing; saves leave it be.
    void unusualFile()
    {
        const QString oddity = QTest::currentDataTag();
        const QString conf = settingsFile(), lock = conf + ".lock", other = m_dir->filePath("x");
        const QByteArray padding(oddity == "file size limit" ? 300 : 0, ' '); // > the lock
        QVERIFY(WriteAll(conf, "ExampleType=3\n" + padding));
        QVERIFY(WriteAll(other, "ExampleType=3\n"));
        const QMap<QString, QString> links = {{"link to /dev/zero", "/dev/zero"},
                                              {"link to a folder", m_dir->path()},
                                              {"link to another user's settings", other}};
        if (links.contains(oddity))
            QVERIFY(QFile::remove(conf) && QFile::link(links[oddity], conf));
        if (oddity.contains("another user") && chown(QFile::encodeName(other), 65534, 65534) != 0)
            QSKIP("only root can give a file to another user");
        const QString &place = oddity.endsWith("lock") ? lock : conf;
        if (oddity.startsWith("named pipe")) {
            QFile::remove(place);
            QCOMPARE(mkfifo(QFile::encodeName(place), 0600), 0);
        }
        if (oddity == "file where the config folder belongs")
            QVERIFY(QDir(m_dir->filePath("config")).removeRecursively() &&
                    WriteAll(m_dir->filePath("config"), ""));
        QLockFile held(lock);
        QVERIFY(oddity != "folder at the lock" || QDir().mkdir(lock));
        QVERIFY(oddity != "lock held" || held.tryLock(0));

        // A write that fails half-way (EFBIG, as on a full disk) leaves the old file whole.
        rlimit limit = {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &limit), 0);
        const auto restore = qScopeGuard([limit] { setrlimit(RLIMIT_FSIZE, &limit); });
        const QStringList places = {conf, lock, other, m_dir->filePath("config")};
        const QByteArray before = Snapshot(places);
        QTEST(Registry::LoadSettings(), "read");
        if (oddity == "file size limit") {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit small = {256, limit.rlim_max};
            QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        }
        QVERIFY(!Registry::SaveSettings(kNext));
        QCOMPARE(Snapshot(places), before);
    }
};

QTEST_GUILESS_MAIN(RegistryTest)
#include "tst_registry.moc"
