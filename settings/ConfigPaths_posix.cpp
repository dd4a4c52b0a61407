#include "ConfigPaths_posix.h"

#include <QFile>

namespace Registry {

namespace {

// The XDG base directory rules: XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
// Taken byte for byte: decoded and encoded again, a byte that is not UTF-8 would name another
// folder.
QByteArray ConfigFolder()
{
    const QByteArray configured = qgetenv("XDG_CONFIG_HOME");
    if (configured.startsWith('/'))
        return configured;
    const QByteArray home = qgetenv("HOME");
    return home.startsWith('/') ? home + "/.config" : QByteArray();
}

} // namespace

// The lock has a name of its own: earlier versions left Vorpa.conf.lock (and .rmlock) files that
// blocked or hung a save, and one of another user's there could not be replaced without two
// saves racing.
std::optional<StorePaths> PathsFor(const QString &organisation, const QString &application)
{
    const QByteArray config = ConfigFolder();
    if (config.isEmpty())
        return std::nullopt;
    return StorePaths{config, QFile::encodeName(organisation),
                      QFile::encodeName(application + QStringLiteral(".conf")),
                      QFile::encodeName(application + QStringLiteral(".lock"))};
}

} // namespace Registry
