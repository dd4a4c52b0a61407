#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Registry {

struct StorePaths
{
    QByteArray config, folder, file, lock;
};

// The config folder (XDG base directory rules), the organisation's folder in it, the settings
// file and its lock; nothing when the user has no config folder.
std::optional<StorePaths> PathsFor(const QString &organisation, const QString &application);

} // namespace Registry
