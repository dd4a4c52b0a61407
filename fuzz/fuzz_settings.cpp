// Reading and saving the stored choices when the settings file holds arbitrary bytes. The input
// becomes Quorvantelle/Vorpa.conf in a config folder of the fuzzer's own. Besides crashes,
// sanitizer reports and hangs it checks that reading the same file twice gives the same values,
// that a save either leaves the file as it was or stores values that read back, and that saving
// the same values again changes no byte.

#include "Registry.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

QString g_file;

void Write(const QByteArray &contents)
{
    QFile file(g_file);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(contents) != contents.size())
        std::abort();
}

QByteArray Read()
{
    QFile file(g_file);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Every save is flushed to disk; in a memory file system the fuzzer runs several times faster.
    const QString memory = QStringLiteral("/dev/shm");
    static QTemporaryDir config((QFileInfo(memory).isDir() ? memory : QDir::tempPath()) +
                                QStringLiteral("/vorpa-fuzz-XXXXXX"));
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
    if (!(Registry::LoadSettings() == first))
        std::abort();

    const QuizSettings next{{}, -3, 3, 0, 9, Operation::Power, true, true};
    if (!Registry::SaveSettings(next)) {
        if (Read() != contents)
            std::abort();
        return 0;
    }
    const QByteArray saved = Read();
    if (!(Registry::LoadSettings() == Registry::StoredValuesOf(next)) ||
        !Registry::SaveSettings(next) || Read() != saved)
        std::abort();
    return 0;
}
