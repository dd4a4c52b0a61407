#include "Registry.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <climits>
#include <optional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using Registry::StoredValues;

namespace {

// Serialised QVariants as Qt writes them into INI files: a QVariantList of 2^32 - 1 elements,
// a QStringList of 2^31 and the int 12.
const QByteArray kHugeList("@Variant(\\0\\0\\0\\x9\\xff\\xff\\xff\\xff)");
const QByteArray kHugeStringList("@Variant(\\0\\0\\0\\xb\\x80\\0\\0\\0)");
const QByteArray kTwelve("@Variant(\\0\\0\\0\\x2\\0\\0\\0\\xc)");

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

    // Lets go of the store while its folder still exists.
    void cleanup() { Registry::OpenSettingsKey(QString()); }

    void roundTrip_data()
    {
        QTest::addColumn<qint32>("value");
        for (const qint32 value : {256, 1024, -5, INT_MAX, INT_MIN})
            QTest::addRow("%d", value) << value;
    }

    void roundTrip()
    {
        QFETCH(qint32, value);
        Registry::OpenSettingsKey(Registry::SettingsKeyPath);
        Registry::SetNumberValue(QStringLiteral("ExampleMin1"), value);
        QVERIFY(Registry::FlushSettingsKey());
        QCOMPARE(ReadAll(settingsFile()),
                 "[General]\nExampleMin1=" + QByteArray::number(value) + '\n');
        QCOMPARE(Registry::LoadSettings().ExampleMin1, value);
    }

    void firstRunReadsZeroAndCreatesNothing()
    {
        QCOMPARE(Registry::LoadSettings(), StoredValues{});
        QVERIFY(QDir(m_dir->path()).isEmpty());
    }

    // The values go out in a fixed order; the file keeps them sorted, under [General].
    void saveSequence()
    {
        const QuizSettings quiz{{}, INT_MIN, INT_MAX, -5, 0, Operation::Logarithm, true, true};
        const StoredValues stored{7, 1, INT_MIN, INT_MAX, -5, 0, 1};
        QStringList order;
        Registry::ForEachStoredValue(stored, [&](const QString &name, qint32) { order << name; });
        QCOMPARE(order.join(u' '), "ExampleType ExampleDifficult ExampleMin1 ExampleMax1 "
                                   "ExampleMin2 ExampleMax2 IntellectualMode");

        QVERIFY(Registry::SaveSettings(quiz));
        QCOMPARE(ReadAll(settingsFile()),
                 "[General]\nExampleDifficult=1\nExampleMax1=2147483647\nExampleMax2=0\n"
                 "ExampleMin1=-2147483648\nExampleMin2=-5\nExampleType=7\nIntellectualMode=1\n");
        QCOMPARE(Registry::LoadSettings(), stored);
    }

    void handEditedFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<StoredValues>("expected");
        QTest::newRow("junk lines, comments, binary bytes")
            << QByteArrayLiteral("junk\n; comment\nExampleType=4\n=7\n\x01\x7f"
                                 "\xff\nExampleMin1=-7\nExampleMax1=\x01\xff\x80"
                                 "5\nExampleMax2=\x00\x01\n")
            << StoredValues{4, 0, -7, 0, 0, 0, 0};
        QTest::newRow("not whole numbers, or outside 32 bits")
            << QByteArray("ExampleType=three\nExampleDifficult=\"1\"\nExampleMin1=3.5\n"
                          "ExampleMax1=0x10\nExampleMin2=2147483648\nExampleMax2=-2147483649\n"
                          "IntellectualMode=2147483647\n")
            << StoredValues{0, 0, 0, 0, 0, 0, INT_MAX};
        QTest::newRow("sections, byte order mark, CRLF, blanks")
            << QByteArray(
                   "\xEF\xBB\xBF[Other]\r\nExampleType=5\r\n[General]\r\nExampleMax1 = 9 \r\n")
            << StoredValues{0, 0, 0, 9, 0, 0, 0};
        QTest::newRow("values of 1024 and 1025 bytes, and of five megabytes")
            << "ExampleMax1=" + QByteArray(1022, '0') + "42\nExampleMin1=" + QByteArray(1023, '0') +
                   "42\nExampleMin2=" + QByteArray(5'000'000, '1') + "\nExampleType=5\n"
            << StoredValues{5, 0, 0, 42, 0, 0, 0};
    }

    // Good values survive, bad ones read 0, reading leaves the file alone, saving still works.
    void handEditedFile()
    {
        QFETCH(QByteArray, contents);
        QVERIFY(WriteAll(settingsFile(), contents));
        QTEST(Registry::LoadSettings(), "expected");
        QCOMPARE(ReadAll(settingsFile()), contents);

        const QuizSettings next{{}, -3, 3, 0, 9, Operation::Power, true, true};
        QVERIFY(Registry::SaveSettings(next));
        QCOMPARE(Registry::LoadSettings(), Registry::StoredValuesOf(next));
    }

    // Unpacking the lists would make QDataStream ask for tens of gigabytes. Read in a child
    // allowed only 1 GiB more address space, the values must be mere text, and stay so when saved.
    void serialisedValuesAreNeverUnpacked()
    {
        const QByteArray other = "\n[Other]\nkey=" + kHugeStringList + '\n';
        QVERIFY(WriteAll(settingsFile(),
                         "ExampleType=" + kHugeList + "\nExampleMin1=" + kHugeStringList +
                             "\nExampleMax1=" + kTwelve + "\nExampleMax2=8\n" + other));
        const pid_t child = fork();
        if (child == 0) {
            const rlim_t now =
                ReadAll("/proc/self/statm").split(' ')[0].toULongLong() * sysconf(_SC_PAGESIZE);
            const rlimit limit{now + (1 << 30), now + (1 << 30)};
            const bool good = setrlimit(RLIMIT_AS, &limit) == 0 &&
                              Registry::LoadSettings() == StoredValues{0, 0, 0, 0, 0, 8, 0};
            _exit(good ? 0 : 1);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status) && WEXITSTATUS(status) == 0, "the child crashed or misread");

        QVERIFY(Registry::SaveSettings(QuizSettings{}));
        QVERIFY(ReadAll(settingsFile()).endsWith("ExampleType=1\nIntellectualMode=0\n" + other));
    }

    void unusualFile_data()
    {
        QTest::addColumn<QString>("oddity");
        QTest::newRow("named pipe") << "pipe";
        QTest::newRow("link to /dev/zero") << "device";
        QTest::newRow("huge sparse file") << "huge";
        QTest::newRow("a file where the config folder belongs, which stops root too") << "file";
    }

    // Things that could make QSettings block or read without end, or keep it from writing:
    // each reads as nothing, and a save fails quietly instead of hanging or replacing them.
    void unusualFile()
    {
        QFETCH(QString, oddity);
        const QString path = oddity == "file" ? m_dir->filePath("config") : settingsFile();
        const QByteArray name = QFile::encodeName(path);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        if (oddity == "pipe")
            QCOMPARE(mkfifo(name.constData(), 0600), 0);
        else if (oddity == "device")
            QCOMPARE(symlink("/dev/zero", name.constData()), 0);
        else
            QVERIFY(WriteAll(path, "ExampleType=3\n") &&
                    truncate(name.constData(), oddity == "huge" ? 64 << 20 : 14) == 0);
        const qint64 size = QFileInfo(path).size();

        QCOMPARE(Registry::LoadSettings(), StoredValues{});
        QVERIFY(!Registry::SaveSettings(QuizSettings{{}, 1, 9, 1, 9, Operation::Division}));
        QCOMPARE(Registry::LoadSettings(), StoredValues{});
        QCOMPARE(QFileInfo(path).size(), size);
    }

    // The new file cannot be written beside the old one: the temporary name needed for that is
    // longer than a file name may be. The old file must come through whole, alone.
    void failedWriteKeepsOldFile()
    {
        const QString application(245, u'a');
        const QDir folder(m_dir->filePath("config/Quorvantelle"));
        QVERIFY(WriteAll(folder.filePath(application + ".conf"), "junk\nExampleType=4\n"));
        if (pathconf(QFile::encodeName(folder.path()).constData(), _PC_NAME_MAX) != 255)
            QSKIP("this file system does not limit names to 255 bytes");

        Registry::OpenSettingsKey("Software\\Quorvantelle\\" + application);
        Registry::SetNumberValue(QStringLiteral("ExampleType"), 6);
        QVERIFY(!Registry::FlushSettingsKey());
        QCOMPARE(ReadAll(folder.filePath(application + ".conf")), "junk\nExampleType=4\n");
        QCOMPARE(folder.entryList(QDir::Files).size(), 1);
    }
};

QTEST_GUILESS_MAIN(RegistryTest)
#include "tst_registry.moc"
