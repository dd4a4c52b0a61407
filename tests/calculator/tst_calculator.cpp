#include "CalculatorMatch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(WindowClass)

namespace {

constexpr uint kMe = 1000;
constexpr uint kSomeoneElse = 1001;

QByteArray Status(uint uid, const char *state = "S (sleeping)")
{
    return "Name:\tx\nUmask:\t0022\nState:\t" + QByteArray(state) + "\nTgid:\t42\nPid:\t42\n" +
           "Uid:\t" + QByteArray::number(uid) + '\t' + QByteArray::number(uid) + '\t' +
           QByteArray::number(uid) + '\t' + QByteArray::number(uid) +
           "\nGid:\t100\t100\t100\t100\n";
}

// A made-up /proc: one folder per entry, with the files given; a null content means no file.
class FakeProc
{
  public:
    QString root() const { return m_dir.path(); }

    void addProcess(const QString &name, const QByteArray &comm, const QByteArray &cmdline,
                    const QByteArray &status)
    {
        QVERIFY(QDir(root()).mkpath(name));
        write(name + QLatin1String("/comm"), comm);
        write(name + QLatin1String("/cmdline"), cmdline);
        write(name + QLatin1String("/status"), status);
    }

    void write(const QString &relativePath, const QByteArray &contents)
    {
        if (contents.isNull())
            return;
        QFile file(root() + u'/' + relativePath);
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(contents), contents.size());
    }

  private:
    QTemporaryDir m_dir;
};

} // namespace

class CalculatorTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void windowList_data();
    void windowList();
    void wmClassBytes_data();
    void wmClassBytes();
    void oneProcess_data();
    void oneProcess();
    void oddEntriesAreSkipped();
    void missingProcRoot();
};

void CalculatorTest::windowList_data()
{
    QTest::addColumn<QList<WindowClass>>("windows");
    QTest::addColumn<bool>("calculator");

    const QList<WindowClass> desktop{
        {"Navigator", "firefox"}, {"xterm", "XTerm"}, {"vorpa", "Vorpa"}};
    const auto one = [](const char *instance, const char *className) {
        return QList<WindowClass>{{instance, className}};
    };
    QTest::newRow("no windows") << QList<WindowClass>{} << false;
    QTest::newRow("ordinary desktop") << desktop << false;
    QTest::newRow("calculator among others")
        << (desktop + one("gnome-calculator", "Gnome-calculator")) << true;
    QTest::newRow("GTK 4 application id") << one("", "org.gnome.Calculator") << true;
    QTest::newRow("only the class names it") << one("main", "SpeedCrunch") << true;
    QTest::newRow("only the instance names it") << one("kcalc", "Unknown") << true;
    QTest::newRow("case ignored") << one("XCALC", "XCALC") << true;
    QTest::newRow("name inside a longer name") << one("mycalculatornotes", "Notes") << false;
    QTest::newRow("name with a suffix") << one("kcalc-helper", "gnome-calculator2") << false;
    QTest::newRow("spreadsheet") << one("libreoffice-calc", "libreoffice-calc") << false;
    QTest::newRow("terminal calculators") << one("qalc", "bc") << false;
    QTest::newRow("blanks around the name") << one(" kcalc", "kcalc ") << false;
}

void CalculatorTest::windowList()
{
    QFETCH(QList<WindowClass>, windows);
    QFETCH(bool, calculator);
    QCOMPARE(AnyCalculatorWindow(windows), calculator);
}

void CalculatorTest::wmClassBytes_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("instance");
    QTest::addColumn<QString>("className");

    QTest::newRow("both names") << QByteArray("kcalc\0KCalc\0", 12) << "kcalc"
                                << "KCalc";
    QTest::newRow("no final NUL") << QByteArray("xcalc\0XCalc", 11) << "xcalc"
                                  << "XCalc";
    QTest::newRow("instance only") << QByteArray("xcalc") << "xcalc"
                                   << "";
    QTest::newRow("extra strings ignored") << QByteArray("a\0b\0c\0", 6) << "a"
                                           << "b";
    QTest::newRow("latin-1 bytes")
        << QByteArray("r\xE9sum\xE9\0R\0", 9) << QString::fromUtf8("résumé") << "R";
}

void CalculatorTest::wmClassBytes()
{
    QFETCH(QByteArray, value);
    const WindowClass parsed = ParseWmClass(value);
    QTEST(parsed.instance, "instance");
    QTEST(parsed.className, "className");
}

void CalculatorTest::oneProcess_data()
{
    QTest::addColumn<QByteArray>("comm");
    QTest::addColumn<QByteArray>("cmdline");
    QTest::addColumn<QByteArray>("status");
    QTest::addColumn<bool>("calculator");

    const auto args = [](std::initializer_list<const char *> words) {
        QByteArray joined;
        for (const char *w : words)
            joined += QByteArray(w) + '\0';
        return joined;
    };
    const auto row = [](const char *name, const QByteArray &comm, const QByteArray &cmdline,
                        const QByteArray &status, bool calculator) {
        QTest::newRow(name) << comm << cmdline << status << calculator;
    };
    const QByteArray mine = Status(kMe);
    const QByteArray none; // no such file
    const QByteArray kcalc = args({"kcalc"});
    const QByteArray gnomeComm("gnome-calculato\n"); // the kernel keeps 15 bytes of the name
    const char *gnome = "/usr/bin/gnome-calculator";

    row("kcalc", "kcalc\n", kcalc, mine, true);
    row("full path", "galculator\n", args({"/usr/bin/galculator", "-f"}), mine, true);
    row("comm cut short, cmdline has the name", gnomeComm, args({gnome}), mine, true);
    row("search provider", gnomeComm, args({gnome, "--search-provider"}), mine, false);
    row("D-Bus activated", gnomeComm, args({gnome, "--gapplication-service"}), mine, true);
    row("someone else's", "kcalc\n", kcalc, Status(kSomeoneElse), false);
    row("zombie", "kcalc\n", none, Status(kMe, "Z (zombie)"), false);
    row("stopped", "kcalc\n", kcalc, Status(kMe, "T (stopped)"), true);
    row("owner unknown: no status", "kcalc\n", kcalc, none, false);
    row("owner unknown: garbage status", "kcalc\n", kcalc, QByteArray("Uid:\t\xff\n\0", 7), false);
    row("script: argv[0] is the interpreter", "mate-calc\n",
        args({"/usr/bin/python3", "/usr/bin/mate-calc"}), mine, true);
    row("calculator only as an argument", "bash\n", args({"bash", "-c", "kcalc"}), mine, false);
    row("cmdline without NULs", none, "/usr/bin/qalculate-gtk", mine, true);
    row("title rewritten with blanks", "deepin-calculat\n",
        QByteArray("/usr/bin/deepin-calculator --title x\0\0\0\0", 40), mine, true);
    row("rewritten with blanks, search provider", gnomeComm,
        QByteArray(gnome) + " --search-provider", mine, false);
    row("path with a blank", none, args({"/opt/My Apps/xcalc"}), mine, true);
    row("similar name", "kcalculator\n", args({"kcalculator"}), mine, false);
    row("empty files", "", "", "", false);
}

void CalculatorTest::oneProcess()
{
    QFETCH(QByteArray, comm);
    QFETCH(QByteArray, cmdline);
    QFETCH(QByteArray, status);
    QFETCH(bool, calculator);

    FakeProc proc;
    proc.addProcess(QStringLiteral("4242"), comm, cmdline, status);
    QCOMPARE(CalculatorProcessRunning(proc.root(), kMe), calculator);
}

void CalculatorTest::oddEntriesAreSkipped()
{
    FakeProc proc;
    const QByteArray mine = Status(kMe);
    // Calculators in folders that are not processes: /proc/self and the like, or junk.
    proc.addProcess(QStringLiteral("self"), "kcalc\n", QByteArray("kcalc\0", 6), mine);
    proc.addProcess(QStringLiteral("12abc"), "kcalc\n", QByteArray("kcalc\0", 6), mine);
    proc.addProcess(QStringLiteral("-5"), "kcalc\n", QByteArray("kcalc\0", 6), mine);
    // Processes that vanished while we looked, or whose files cannot be read.
    QVERIFY(QDir(proc.root()).mkpath(QStringLiteral("10")));
    QVERIFY(QDir(proc.root()).mkpath(QStringLiteral("11/comm"))); // a folder where a file should be
    proc.addProcess(QStringLiteral("11"), QByteArray(), QByteArray("bash\0", 5), mine);
    proc.write(QStringLiteral("13"), "kcalc\n"); // a file where a process folder should be
    proc.addProcess(QStringLiteral("14"), QByteArray(100000, 'x'), QByteArray(100000, '\0'),
                    QByteArray(100000, '\n'));
    proc.addProcess(QStringLiteral("15"), "bash\n", QByteArray("bash\0", 5), mine);
    QVERIFY(!CalculatorProcessRunning(proc.root(), kMe));

    proc.addProcess(QStringLiteral("999"), "xcalc\n", QByteArray("xcalc\0", 6), mine);
    QVERIFY(CalculatorProcessRunning(proc.root(), kMe));
    QVERIFY(!CalculatorProcessRunning(proc.root(), kSomeoneElse));
}

void CalculatorTest::missingProcRoot()
{
    QTemporaryDir dir;
    QVERIFY(!CalculatorProcessRunning(dir.path() + QLatin1String("/nothing-here"), kMe));
}

QTEST_GUILESS_MAIN(CalculatorTest)
#include "tst_calculator.moc"
