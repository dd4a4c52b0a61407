#include "Registry.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(QuizSettings)

using Registry::StoredValues;

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();

StoredValues Values(const QList<qint32> &seven)
{
    StoredValues v;
    v.ExampleType = seven.value(0);
    v.ExampleDifficult = seven.value(1);
    v.ExampleMin1 = seven.value(2);
    v.ExampleMax1 = seven.value(3);
    v.ExampleMin2 = seven.value(4);
    v.ExampleMax2 = seven.value(5);
    v.IntellectualMode = seven.value(6);
    return v;
}

QuizSettings Quiz(Operation op, bool difficult, qint32 min1, qint32 max1, qint32 min2, qint32 max2,
                  bool intellectual)
{
    QuizSettings s;
    s.Operation = op;
    s.Difficult = difficult;
    s.Min1 = min1;
    s.Max1 = max1;
    s.Min2 = min2;
    s.Max2 = max2;
    s.IntellectualMode = intellectual;
    return s;
}

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

// Every "name=value" line of a settings file.
QMap<QString, QString> FileEntries(const QString &path)
{
    QMap<QString, QString> entries;
    for (const QByteArray &line : ReadAll(path).split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            entries.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
    return entries;
}

// Everything below a folder, so a test can tell that nothing was created or left behind.
QStringList Tree(const QString &folder)
{
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        names << QDir(folder).relativeFilePath(it.next());
    names.sort();
    return names;
}

enum class Oddity
{
    Folder,
    NamedPipe,
    EndlessDevice,
    HugeSparseFile,
    RandomBytes,
};

} // namespace

Q_DECLARE_METATYPE(Oddity)

class RegistryTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void init();
    void cleanup();
    void roundTrip_data();
    void roundTrip();
    void firstRunReadsZeroAndCreatesNothing();
    void saveSequence_data();
    void saveSequence();
    void handEditedFile_data();
    void handEditedFile();
    void saveOverUnreadHandEditedFile();
    void unusualFile_data();
    void unusualFile();
    void readsOnlyTheApplicationsOwnFile();
    void unwritableFolderFailsQuietly();
    void failedWriteKeepsOldFile_data();
    void failedWriteKeepsOldFile();
    void keyPath_data();
    void keyPath();

  private:
    QString configFolder() const { return m_dir->filePath(QStringLiteral("config")); }
    QString settingsFile() const
    {
        return configFolder() + QStringLiteral("/Quorvantelle/Vorpa.conf");
    }

    std::unique_ptr<QTemporaryDir> m_dir;
};

// Each test gets config folders of its own; the user's real settings are never touched.
void RegistryTest::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configFolder()));
    qputenv("XDG_CONFIG_DIRS", QFile::encodeName(m_dir->filePath(QStringLiteral("system"))));
}

void RegistryTest::cleanup()
{
    // Let go of the process-wide store while its folder still exists.
    Registry::OpenSettingsKey(QString());
    m_dir.reset();
}

void RegistryTest::roundTrip_data()
{
    QTest::addColumn<qint32>("value");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
    QTest::newRow("256") << 256;
    QTest::newRow("1024") << 1024;
    QTest::newRow("-5") << -5;
    QTest::newRow("largest") << kMax;
    QTest::newRow("smallest") << kMin;
}

void RegistryTest::roundTrip()
{
    QFETCH(qint32, value);
    Registry::OpenSettingsKey(Registry::SettingsKeyPath);
    Registry::SetNumberValue(QStringLiteral("ExampleMin1"), value);
    QVERIFY(Registry::FlushSettingsKey());

    // Stored as a plain number: not as a boolean, not as quoted text.
    QCOMPARE(FileEntries(settingsFile()).value(QStringLiteral("ExampleMin1")),
             QString::number(value));
    QCOMPARE(Registry::GetNumberValue(Registry::Hive::CurrentUser, Registry::SettingsKeyPath,
                                      QStringLiteral("ExampleMin1")),
             value);
}

void RegistryTest::firstRunReadsZeroAndCreatesNothing()
{
    QCOMPARE(Registry::LoadSettings(), StoredValues{});
    QVERIFY(!QFileInfo::exists(configFolder()));
}

void RegistryTest::saveSequence_data()
{
    QTest::addColumn<QuizSettings>("settings");
    QTest::addColumn<QList<qint32>>("stored");

    QTest::newRow("multiplication table")
        << Quiz(Operation::Multiplication, false, 1, 10, 1, 10, false)
        << QList<qint32>{3, 0, 1, 10, 1, 10, 0};
    QTest::newRow("addition, flags set")
        << Quiz(Operation::Addition, true, 2, 3, 4, 5, true) << QList<qint32>{1, 1, 2, 3, 4, 5, 1};
    QTest::newRow("logarithm, extreme bounds")
        << Quiz(Operation::Logarithm, false, kMin, kMax, -5, 0, true)
        << QList<qint32>{7, 0, kMin, kMax, -5, 0, 1};
    QTest::newRow("all bounds zero") << Quiz(Operation::Remainder, false, 0, 0, 0, 0, false)
                                     << QList<qint32>{5, 0, 0, 0, 0, 0, 0};
}

void RegistryTest::saveSequence()
{
    QFETCH(QuizSettings, settings);
    QFETCH(QList<qint32>, stored);
    const QStringList names = {
        QStringLiteral("ExampleType"),      QStringLiteral("ExampleDifficult"),
        QStringLiteral("ExampleMin1"),      QStringLiteral("ExampleMax1"),
        QStringLiteral("ExampleMin2"),      QStringLiteral("ExampleMax2"),
        QStringLiteral("IntellectualMode"),
    };

    QStringList seenNames;
    QList<qint32> seenValues;
    Registry::ForEachStoredValue(Registry::StoredValuesOf(settings),
                                 [&](const QString &name, qint32 value) {
                                     seenNames << name;
                                     seenValues << value;
                                 });
    QCOMPARE(seenNames, names);
    QCOMPARE(seenValues, stored);

    QVERIFY(Registry::SaveSettings(settings));
    const QMap<QString, QString> entries = FileEntries(settingsFile());
    QCOMPARE(entries.size(), names.size());
    for (qsizetype i = 0; i < names.size(); ++i)
        QCOMPARE(entries.value(names[i]), QString::number(stored[i]));
    QCOMPARE(Registry::LoadSettings(), Values(stored));
}

void RegistryTest::handEditedFile_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QList<qint32>>("expected");

    QTest::newRow("junk lines and comments")
        << QByteArray("junk without an equals sign\n; comment\n# another\nExampleType=4\n"
                      "\x01\x02\x7f\xff\xfe\n=7\nExampleMin1=-7\n")
        << QList<qint32>{4, 0, -7, 0, 0, 0, 0};
    QTest::newRow("not whole numbers")
        << QByteArray("ExampleType=three\nExampleDifficult=true\nExampleMin1=3.5\n"
                      "ExampleMax1=0x10\nExampleMin2=1e3\nExampleMax2=\nIntellectualMode=1\n")
        << QList<qint32>{0, 0, 0, 0, 0, 0, 1};
    QTest::newRow("outside 32 bits")
        << QByteArray("ExampleMin1=2147483648\nExampleMax1=-2147483649\n"
                      "ExampleMin2=99999999999999999999\nExampleMax2=2147483647\n")
        << QList<qint32>{0, 0, 0, 0, 0, kMax, 0};
    QTest::newRow("binary bytes in a value")
        << QByteArrayLiteral("ExampleType=\x01\xff\x80"
                             "5\nExampleMin1=\x00\x01\nExampleMax2=5\n")
        << QList<qint32>{0, 0, 0, 0, 0, 5, 0};
    QTest::newRow("list and quoted text")
        << QByteArray("ExampleType=\"6\"\nExampleMin1=1,2\nExampleMax1=@ByteArray(3)\n")
        << QList<qint32>{6, 0, 0, 0, 0, 0, 0};
    QTest::newRow("only the general section")
        << QByteArray("[Other]\nExampleType=5\n[General]\nExampleMin2=8\n")
        << QList<qint32>{0, 0, 0, 0, 8, 0, 0};
    QTest::newRow("byte order mark, CRLF, blanks")
        << QByteArray("\xEF\xBB\xBF"
                      "ExampleType=2\r\nExampleMax1 =  9 \r\n")
        << QList<qint32>{2, 0, 0, 9, 0, 0, 0};
    QTest::newRow("value of 1024 bytes") << "ExampleMax1=" + QByteArray(1022, '0') + "42\n"
                                         << QList<qint32>{0, 0, 0, 42, 0, 0, 0};
    QTest::newRow("value of 1025 bytes")
        << "ExampleMin1=3\nExampleMax1=" + QByteArray(1023, '0') + "42\n"
        << QList<qint32>{0, 0, 3, 0, 0, 0, 0};
    QTest::newRow("value of five megabytes")
        << "ExampleMin2=" + QByteArray(5'000'000, '1') + "\nExampleType=5\n"
        << QList<qint32>{5, 0, 0, 0, 0, 0, 0};
}

// Good values survive, bad ones read 0, reading leaves the file alone, and saving still works.
void RegistryTest::handEditedFile()
{
    QFETCH(QByteArray, contents);
    QFETCH(QList<qint32>, expected);
    QVERIFY(WriteAll(settingsFile(), contents));

    QCOMPARE(Registry::LoadSettings(), Values(expected));
    QCOMPARE(ReadAll(settingsFile()), contents);

    const QuizSettings next = Quiz(Operation::Power, true, -3, 3, 0, 9, true);
    QVERIFY(Registry::SaveSettings(next));
    QCOMPARE(Registry::LoadSettings(), Registry::StoredValuesOf(next));
}

// Lines QSettings cannot parse must not make a good save report failure.
void RegistryTest::saveOverUnreadHandEditedFile()
{
    QVERIFY(WriteAll(settingsFile(), "junk\n\x01\x02\nExampleMin2=8\n"));
    const QuizSettings next = Quiz(Operation::Addition, false, 0, 0, 7, 0, false);
    QVERIFY(Registry::SaveSettings(next));
    QCOMPARE(Registry::LoadSettings(), Registry::StoredValuesOf(next));
}

void RegistryTest::unusualFile_data()
{
    QTest::addColumn<Oddity>("oddity");
    QTest::addColumn<bool>("canSave");
    QTest::newRow("folder") << Oddity::Folder << false;
    QTest::newRow("named pipe") << Oddity::NamedPipe << false;
    QTest::newRow("link to /dev/zero") << Oddity::EndlessDevice << false;
    QTest::newRow("huge sparse file") << Oddity::HugeSparseFile << false;
    QTest::newRow("eight megabytes of random bytes") << Oddity::RandomBytes << true;
}

// Things that could make QSettings block or read without end: each reads as nothing, and a
// save that cannot replace them fails quietly instead of hanging.
void RegistryTest::unusualFile()
{
    QFETCH(Oddity, oddity);
    QFETCH(bool, canSave);
    const QString path = settingsFile();
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    switch (oddity) {
    case Oddity::Folder:
        QVERIFY(QDir().mkdir(path));
        break;
    case Oddity::NamedPipe:
        QCOMPARE(mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        break;
    case Oddity::EndlessDevice:
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        break;
    case Oddity::HugeSparseFile: {
        QVERIFY(WriteAll(path, "ExampleType=3\n"));
        QFile file(path);
        QVERIFY(file.resize(64 * 1024 * 1024));
        break;
    }
    case Oddity::RandomBytes: {
        QByteArray bytes(8 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator random(20240917);
        random.fillRange(reinterpret_cast<quint32 *>(bytes.data()), bytes.size() / 4);
        QVERIFY(WriteAll(path, bytes));
        break;
    }
    }
    const QFileInfo before(path);
    const qint64 sizeBefore = before.size();

    QCOMPARE(Registry::LoadSettings(), StoredValues{});
    const QFileInfo after(path);
    QCOMPARE(after.size(), sizeBefore);
    QCOMPARE(after.isDir(), before.isDir());

    const QuizSettings next = Quiz(Operation::Division, false, 1, 9, 1, 9, false);
    QCOMPARE(Registry::SaveSettings(next), canSave);
    QCOMPARE(Registry::LoadSettings(), canSave ? Registry::StoredValuesOf(next) : StoredValues{});
}

// No fall-back to an organisation-wide file or a system-wide one.
void RegistryTest::readsOnlyTheApplicationsOwnFile()
{
    QVERIFY(WriteAll(configFolder() + QStringLiteral("/Quorvantelle.conf"), "ExampleType=5\n"));
    QVERIFY(WriteAll(m_dir->filePath(QStringLiteral("system/Quorvantelle/Vorpa.conf")),
                     "ExampleType=6\nExampleMin1=4\n"));
    QCOMPARE(Registry::LoadSettings(), StoredValues{});
}

// The config folder cannot be made (a plain file sits where a folder should be); this works
// for root too. The save says no, reading gives zeros, and the file in the way is untouched.
void RegistryTest::unwritableFolderFailsQuietly()
{
    const QString blocker = m_dir->filePath(QStringLiteral("blocker"));
    QVERIFY(WriteAll(blocker, "not a folder"));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker + QStringLiteral("/config")));

    const QuizSettings settings = Quiz(Operation::Subtraction, true, 1, 5, 1, 5, true);
    QVERIFY(!Registry::SaveSettings(settings));
    QVERIFY(!Registry::SaveSettings(settings));
    QCOMPARE(Registry::LoadSettings(), StoredValues{});
    QCOMPARE(ReadAll(blocker), QByteArray("not a folder"));
}

void RegistryTest::failedWriteKeepsOldFile_data()
{
    QTest::addColumn<QByteArray>("old");
    QTest::newRow("clean old file") << QByteArray("[General]\nExampleType=4\n");
    // QSettings keeps only its first error: the complaint about the junk must not hide the
    // failed write.
    QTest::newRow("hand-edited old file") << QByteArray("junk\nExampleType=4\n");
}

// The new file cannot be written beside the old one: the temporary name needed for that is
// longer than a file name may be. The old file must come through whole.
void RegistryTest::failedWriteKeepsOldFile()
{
    QFETCH(QByteArray, old);
    const QString application(245, u'a');
    const QString folder = configFolder() + QStringLiteral("/Quorvantelle");
    const QString path = folder + u'/' + application + QStringLiteral(".conf");
    QVERIFY(QDir().mkpath(folder));
    if (pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX) != 255)
        QSKIP("this file system does not limit names to 255 bytes");
    QVERIFY(WriteAll(path, old));

    Registry::OpenSettingsKey(QStringLiteral("Software\\Quorvantelle\\") + application);
    Registry::SetNumberValue(QStringLiteral("ExampleType"), 6);
    QVERIFY(!Registry::FlushSettingsKey());
    QCOMPARE(ReadAll(path), old);
    QCOMPARE(Tree(folder), QStringList{application + QStringLiteral(".conf")});
}

void RegistryTest::keyPath_data()
{
    QTest::addColumn<QString>("keyPath");
    QTest::addColumn<bool>("valid");
    QTest::newRow("as stored") << QStringLiteral("SOFTWARE\\Quorvantelle\\Vorpa") << true;
    QTest::newRow("Software in any case")
        << QStringLiteral("software\\Quorvantelle\\Vorpa") << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("too short") << QStringLiteral("Software\\Quorvantelle") << false;
    QTest::newRow("too long") << QStringLiteral("Software\\Quorvantelle\\Vorpa\\More") << false;
    QTest::newRow("not under Software") << QStringLiteral("System\\Quorvantelle\\Vorpa") << false;
    QTest::newRow("forward slashes") << QStringLiteral("Software/Quorvantelle/Vorpa") << false;
    QTest::newRow("parent folder") << QStringLiteral("Software\\..\\config") << false;
    QTest::newRow("slash inside a part")
        << QStringLiteral("Software\\Quorvantelle\\x/../Vorpa") << false;
    QTest::newRow("empty part") << QStringLiteral("Software\\\\Vorpa") << false;
}

// A path that does not name Software\<organisation>\<application> reaches no file at all.
void RegistryTest::keyPath()
{
    QFETCH(QString, keyPath);
    QFETCH(bool, valid);
    QVERIFY(WriteAll(settingsFile(), "ExampleType=4\n"));

    QCOMPARE(Registry::GetNumberValue(Registry::Hive::CurrentUser, keyPath,
                                      QStringLiteral("ExampleType")),
             valid ? 4 : 0);
    Registry::OpenSettingsKey(keyPath);
    Registry::SetNumberValue(QStringLiteral("ExampleMin1"), 5);
    QCOMPARE(Registry::FlushSettingsKey(), valid);
    QCOMPARE(Tree(m_dir->path()),
             (QStringList{"config", "config/Quorvantelle", "config/Quorvantelle/Vorpa.conf"}));
    QCOMPARE(FileEntries(settingsFile()).value(QStringLiteral("ExampleMin1")),
             valid ? QStringLiteral("5") : QString());
}

QTEST_GUILESS_MAIN(RegistryTest)
#include "tst_registry.moc"
