#include "CalculatorMatch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

Q_DECLARE_METATYPE(WindowClass)

namespace {

constexpr uint kMe = 1000;

// The real user id comes first; the effective one (here another user's) second.
QByteArray Status(uint uid, const char *state = "S (sleeping)")
{
    return "State:\t" + QByteArray(state) + "\nUid:\t" + QByteArray::number(uid) + '\t' +
           QByteArray::number(uid + 50) + "\t0\t0\n";
}

// Adds a folder to a made-up /proc; a null content means no such file.
void AddProcess(const QTemporaryDir &proc, const QString &pid, const QByteArray &comm,
                const QByteArray &cmdline, const QByteArray &status = Status(kMe))
{
    QVERIFY(QDir(proc.path()).mkpath(pid));
    const std::pair<const char *, QByteArray> files[] = {
        {"comm", comm}, {"cmdline", cmdline}, {"status", status}};
    for (const auto &[name, contents] : files) {
        QFile file(proc.filePath(pid + u'/' + QLatin1String(name)));
        if (!contents.isNull())
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
    }
}

} // namespace

class CalculatorTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void windowList_data()
    {
        QTest::addColumn<QList<WindowClass>>("windows");
        QTest::addColumn<bool>("calculator");
        using W = QList<WindowClass>;
        QTest::newRow("by instance") << W{{"gnome-calculator", "Unknown"}} << true;
        QTest::newRow("by class only") << W{{"main", "SpeedCrunch"}} << true;
        QTest::newRow("case ignored") << W{{"XCALC", "X"}} << true;
        QTest::newRow("name inside a longer one") << W{{"mykcalcnotes", "Notes"}} << false;
        QTest::newRow("name with a suffix") << W{{"kcalc-helper", "gnome-calculator2"}} << false;
        QTest::newRow("blanks around the name") << W{{" kcalc", "kcalc "}} << false;
    }

    // The windows in question among others that are no calculators.
    void windowList()
    {
        QFETCH(QList<WindowClass>, windows);
        const QList<WindowClass> others{{"Navigator", "firefox"}, {"", ""}, {"xterm", "XTerm"}};
        QTEST(AnyCalculatorWindow(others + windows), "calculator");
    }

    void processNames_data()
    {
        QTest::addColumn<QByteArray>("comm");
        QTest::addColumn<QByteArray>("cmdline");
        QTest::addColumn<bool>("calculator");
        const QByteArray gnome = "/usr/bin/gnome-calculator", none;
        const QByteArray cut("gnome-calculato\n"); // the kernel keeps 15 bytes of the name
        QTest::newRow("comm cut short") << cut << gnome + '\0' << true;
        QTest::newRow("comm alone") << QByteArray("galculator\n") << QByteArray("gui\0") << true;
        QTest::newRow("search provider") << cut << gnome + '\0' + "--search-provider" << false;
        QTest::newRow("an argument") << none << QByteArray("sh\0kcalc", 8) << false;
        QTest::newRow("path with a blank") << none << QByteArray("/opt/My Apps/xcalc") << true;
        QTest::newRow("title rewritten with blanks") << none << gnome + " --title x" << true;
        QTest::newRow("rewritten, search provider") << cut << gnome + " --search-provider" << false;
    }

    void processNames()
    {
        QFETCH(QByteArray, comm);
        QFETCH(QByteArray, cmdline);
        QTEST(IsCalculatorProcess(comm, cmdline), "calculator");
    }

    // Only a living calculator of the given user counts; entries that are no processes, or
    // cannot be read, are skipped.
    void procScan()
    {
        QTemporaryDir proc;
        const QByteArray cut("gnome-calculato\n"), gnome("/usr/bin/gnome-calculator");
        AddProcess(proc, "20", cut, gnome + '\0' + "--search-provider");
        AddProcess(proc, "21", cut, gnome, Status(kMe + 1));
        AddProcess(proc, "22", "kcalc\n", QByteArray(), Status(kMe, "Z (zombie)"));
        AddProcess(proc, "23", "kcalc\n", QByteArrayLiteral("kcalc\0"), QByteArray());
        for (const char *notAProcess : {"self", "12abc", "-5"})
            AddProcess(proc, notAProcess, "kcalc\n", QByteArrayLiteral("kcalc\0"));
        QVERIFY(QDir(proc.path()).mkpath("11/comm"));
        AddProcess(proc, "11", QByteArray(), QByteArrayLiteral("bash\0"));
        AddProcess(proc, "14", QByteArray(100000, 'x'), QByteArray(100000, '\0'), "\n\n");
        QVERIFY(!CalculatorProcessRunning(proc.path(), kMe));
        QVERIFY(CalculatorProcessRunning(proc.path(), kMe + 1));

        AddProcess(proc, "999", cut, gnome);
        QVERIFY(CalculatorProcessRunning(proc.path(), kMe));
        QVERIFY(!CalculatorProcessRunning(proc.filePath("nothing-here"), kMe));
    }
};

QTEST_GUILESS_MAIN(CalculatorTest)
#include "tst_calculator.moc"
