#include "CalculatorMatch.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <optional>

namespace {

// Program names, WM_CLASS names and application ids of graphical calculators. Terminal
// calculators (bc, qalc, gcalccmd) are left out: they open no calculator window of their own.
constexpr QLatin1String kCalculatorNames[] = {
    QLatin1String("gnome-calculator"),     // GNOME, Cinnamon, Budgie
    QLatin1String("org.gnome.Calculator"), // its application id (GTK 4, Flatpak)
    QLatin1String("gcalctool"),            // GNOME's calculator before 3.8
    QLatin1String("kcalc"),
    QLatin1String("org.kde.kcalc"),
    QLatin1String("kalk"), // KDE's calculator for phones and convertibles
    QLatin1String("org.kde.kalk"),
    QLatin1String("galculator"), // Xfce, LXDE
    QLatin1String("qalculate"),
    QLatin1String("qalculate-gtk"),
    QLatin1String("qalculate-qt"),
    QLatin1String("qalculate-kde"),
    QLatin1String("io.github.Qalculate"),
    QLatin1String("io.github.Qalculate.qalculate-qt"),
    QLatin1String("mate-calc"),
    QLatin1String("xcalc"),
    QLatin1String("speedcrunch"),
    QLatin1String("org.speedcrunch.SpeedCrunch"),
    QLatin1String("deepin-calculator"),
    QLatin1String("io.elementary.calculator"),
    QLatin1String("pantheon-calculator"), // elementary's calculator before its rename
    QLatin1String("calc.exe"),            // the Windows calculator run under Wine
};

// gnome-calculator runs a second, windowless copy of itself for the desktop's search box.
// "--gapplication-service" is not on this list: that is how the desktop starts
// D-Bus-activated programs, and the calculator then opens its window in that very process.
constexpr const char *kWindowlessArguments[] = {
    "--search-provider",
};

// Bounds on what we read from one /proc file: enough for any name and the first arguments.
constexpr qint64 kCommLimit = 256;
constexpr qint64 kCmdlineLimit = 8192;
constexpr qint64 kStatusLimit = 16384;

QString BaseName(const QByteArray &path)
{
    return QString::fromUtf8(path.mid(path.lastIndexOf('/') + 1));
}

// Whole contents up to limit bytes; empty when the file is missing or unreadable.
QByteArray ReadSmallFile(const QString &path, qint64 limit)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    QByteArray contents;
    while (contents.size() < limit) {
        const QByteArray chunk = file.read(limit - contents.size());
        if (chunk.isEmpty())
            break;
        contents += chunk;
    }
    return contents;
}

bool IsProcessId(const QString &name)
{
    return !name.isEmpty() &&
           std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

struct ProcessStatus
{
    std::optional<uint> realUserId;
    bool dead = false; // a zombie or a process being torn down has no windows left
};

ProcessStatus ParseStatus(const QByteArray &status)
{
    ProcessStatus result;
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith("Uid:")) {
            const QList<QByteArray> ids = line.mid(4).simplified().split(' ');
            bool ok = false;
            const uint id = ids.first().toUInt(&ok);
            if (ok)
                result.realUserId = id;
        } else if (line.startsWith("State:")) {
            const QByteArray state = line.mid(6).trimmed();
            result.dead = state.startsWith('Z') || state.startsWith('X') || state.startsWith('x');
        }
    }
    return result;
}

} // namespace

bool IsCalculatorName(QStringView name)
{
    return std::any_of(
        std::begin(kCalculatorNames), std::end(kCalculatorNames),
        [name](QLatin1String known) { return name.compare(known, Qt::CaseInsensitive) == 0; });
}

WindowClass ParseWmClass(QByteArrayView value)
{
    // ICCCM gives WM_CLASS as Latin-1 text; Latin-1 decoding cannot fail on stray bytes.
    const QList<QByteArray> parts = value.toByteArray().split('\0');
    WindowClass result;
    result.instance = QString::fromLatin1(parts.value(0));
    result.className = QString::fromLatin1(parts.value(1));
    return result;
}

bool AnyCalculatorWindow(const QList<WindowClass> &windows)
{
    return std::any_of(windows.begin(), windows.end(), [](const WindowClass &w) {
        return IsCalculatorName(w.instance) || IsCalculatorName(w.className);
    });
}

bool IsCalculatorProcess(QByteArrayView comm, QByteArrayView cmdline)
{
    // Arguments are NUL-separated, but a process that rewrote its title may have put blanks
    // between them instead, so blanks separate words too.
    const QByteArray rawCmdline = cmdline.toByteArray();
    QList<QByteArray> fields = rawCmdline.split('\0');
    fields.removeAll(QByteArray());

    for (const QByteArray &field : std::as_const(fields)) {
        for (const QByteArray &word : field.split(' ')) {
            for (const char *windowless : kWindowlessArguments) {
                if (word == windowless)
                    return false;
            }
        }
    }

    // The kernel cuts comm to 15 bytes ("gnome-calculato"), so argv[0] is asked too.
    if (IsCalculatorName(QString::fromUtf8(comm.toByteArray().trimmed())))
        return true;
    if (fields.isEmpty())
        return false;
    const QByteArray &program = fields.first();
    if (IsCalculatorName(BaseName(program)))
        return true;
    const qsizetype blank = program.indexOf(' ');
    return blank > 0 && IsCalculatorName(BaseName(program.left(blank)));
}

bool CalculatorProcessRunning(const QString &procRoot, uint userId)
{
    QDirIterator it(procRoot, QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QString dir = it.next();
        if (!IsProcessId(it.fileName()))
            continue;
        // Names first: they rule out nearly every process, so status is read only rarely.
        const QByteArray comm = ReadSmallFile(dir + QLatin1String("/comm"), kCommLimit);
        const QByteArray cmdline = ReadSmallFile(dir + QLatin1String("/cmdline"), kCmdlineLimit);
        if (!IsCalculatorProcess(comm, cmdline))
            continue;
        const ProcessStatus status =
            ParseStatus(ReadSmallFile(dir + QLatin1String("/status"), kStatusLimit));
        if (status.realUserId == userId && !status.dead)
            return true;
    }
    return false;
}
