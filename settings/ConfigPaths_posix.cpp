#include "ConfigPaths_posix.h"

#include <QDir>
#include <QFile>

namespace Registry {

namespace {

// The XDG base directory rules: XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
QString ConfigFolder()
{
    const QString configured = QFile::decodeName(qgetenv("XDG_CONFIG_HOME"));
    if (QDir::isAbsolutePath(configured))
        return configured;
    const QString home = QFile::decodeName(qgetenv("HOME"));
    return QDir::isAbsolutePath(home) ? home + QStringLiteral("/.config") : QString();
}

} // namespace

// The lock has a name of its own: earlier versions left Vorpa.conf.lock (and .rmlock) files that
// blocked or hung a save, and one of another user's there could not be replaced without two
// saves racing.
std::optional<StorePaths> PathsFor(const QString &organisation, const QString &application)
{
    const QString config = ConfigFolder();
    if (config.isEmpty())
        return std::nullopt;
    const QString folder = config + u'/' + organisation;
    return StorePaths{QFile::encodeName(config), QFile::encodeName(folder),
                      QFile::encodeName(folder + u'/' + application + QStringLiteral(".conf")),
                      QFile::encodeName(folder + u'/' + application + QStringLiteral(".lock"))};
}

} // namespace Registry
