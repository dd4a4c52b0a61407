#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace Registry {

// Where the store lives, as bytes: a path is a file name to the system and may hold bytes that
// are no text in any encoding.
struct StorePaths
{
    QByteArray config;       // the config folder, an absolute path
    QByteArray organisation; // the folder in it
    QByteArray file, lock;   // names in that folder
};

// The config folder (XDG base directory rules), the organisation's folder in it, the settings
// file and its lock; nothing when the user has no config folder.
std::optional<StorePaths> PathsFor(const QString &organisation, const QString &application);

} // namespace Registry
