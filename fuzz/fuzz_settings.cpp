// Reading the stored choices when the settings file holds arbitrary bytes. The input becomes
// Quorvantelle/Vorpa.conf in a config folder of the fuzzer's own, and the start window's load
// sequence reads it. Besides crashes, sanitizer reports and hangs it checks that reading the
// same file twice gives the same values.

#include "Registry.h"

#include <QByteArray>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QString g_file;

bool Same(const Registry::StoredValues &a, const Registry::StoredValues &b)
{
    return a.ExampleType == b.ExampleType && a.ExampleDifficult == b.ExampleDifficult &&
           a.ExampleMin1 == b.ExampleMin1 && a.ExampleMax1 == b.ExampleMax1 &&
           a.ExampleMin2 == b.ExampleMin2 && a.ExampleMax2 == b.ExampleMax2 &&
           a.IntellectualMode == b.IntellectualMode;
}

// QSettings keeps a parsed file and parses it again only when its size or time stamp changed;
// every write gets a time stamp of its own so that each input is really read.
void Write(const QByteArray &contents)
{
    static qint64 stamp = 0;
    QFile file(g_file);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(contents) != contents.size())
        std::abort();
    file.close();
    if (!file.open(QIODevice::ReadWrite) ||
        !file.setFileTime(QDateTime::fromSecsSinceEpoch(1000000000 + ++stamp),
                          QFileDevice::FileModificationTime))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // QSettings warns about every malformed value; millions of warnings would only bury the
    // fuzzer's own report.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext &, const QString &) {});
    static QTemporaryDir config;
    if (!config.isValid() || !QDir(config.path()).mkpath(QStringLiteral("Quorvantelle")))
        std::abort();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    g_file = config.path() + QStringLiteral("/Quorvantelle/Vorpa.conf");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray contents(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    Write(contents);
    const Registry::StoredValues first = Registry::LoadSettings();
    Write(contents);
    if (!Same(Registry::LoadSettings(), first))
        std::abort();
    return 0;
}
