#include "CalculatorMatch.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <tuple>

namespace {

constexpr uint kMe = 1000;
// gnome-calculator's path, and its name as comm holds it: the kernel keeps 15 bytes of it.
const QByteArray kGnome = "/usr/bin/gnome-calculator", kCut = "gnome-calculato\n";

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
    // Either name of a window counts, whole and in any case, among windows of other programs.
    void windowList()
    {
        const QList<WindowClass> others{{"Navigator", "firefox"}, {"", ""}, {"xterm", "XTerm"}};
        const std::tuple<const char *, WindowClass, bool> cases[] = {
            {"by instance", {"gnome-calculator", "Unknown"}, true},
            {"by class only", {"main", "SpeedCrunch"}, true},
            {"case ignored", {"XCALC", "X"}, true},
            {"name inside a longer one", {"mykcalcnotes", "Notes"}, false},
            {"name with a suffix", {"kcalc-helper", "gnome-calculator2"}, false},
            {"blanks around the name", {" kcalc", "kcalc "}, false},
        };
        for (const auto &[name, window, calculator] : cases)
            QVERIFY2(AnyCalculatorWindow(others + QList{window}) == calculator, name);
    }

    void processNames()
    {
        const std::tuple<const char *, QByteArray, QByteArray, bool> cases[] = {
            {"comm cut short", kCut, kGnome + '\0', true},
            {"comm alone", "galculator\n", "gui", true},
            {"search provider", kCut, kGnome + '\0' + "--search-provider", false},
            {"an argument", {}, QByteArray("sh\0kcalc", 8), false},
            {"path with a blank", {}, "/opt/My Apps/xcalc", true},
            {"title rewritten with blanks", {}, kGnome + " --title x", true},
            {"rewritten, search provider", kCut, kGnome + " --search-provider", false},
        };
        for (const auto &[name, comm, cmdline, calculator] : cases)
            QVERIFY2(IsCalculatorProcess(comm, cmdline) == calculator, name);
    }

    // Only a living calculator of the given user counts; entries that are no processes, or
    // cannot be read, are skipped.
    void procScan()
    {
        QTemporaryDir proc;
        AddProcess(proc, "20", kCut, kGnome + '\0' + "--search-provider");
        AddProcess(proc, "21", kCut, kGnome, Status(kMe + 1));
        AddProcess(proc, "22", "kcalc\n", QByteArray(), Status(kMe, "Z (zombie)"));
        AddProcess(proc, "23", "kcalc\n", QByteArrayLiteral("kcalc\0"), QByteArray());
        for (const char *notAProcess : {"self", "12abc", "-5"})
            AddProcess(proc, notAProcess, "kcalc\n", QByteArrayLiteral("kcalc\0"));
        QVERIFY(QDir(proc.path()).mkpath("11/comm"));
        AddProcess(proc, "11", QByteArray(), QByteArrayLiteral("bash\0"));
        AddProcess(proc, "14", QByteArray(100000, 'x'), QByteArray(100000, '\0'), "\n\n");
        QVERIFY(!CalculatorProcessRunning(proc.path(), kMe));
        QVERIFY(CalculatorProcessRunning(proc.path(), kMe + 1));

        AddProcess(proc, "999", kCut, kGnome);
        QVERIFY(CalculatorProcessRunning(proc.path(), kMe));
        QVERIFY(!CalculatorProcessRunning(proc.filePath("nothing-here"), kMe));
    }
};

QTEST_GUILESS_MAIN(CalculatorTest)
#include "tst_calculator.moc"
