#pragma once

#include "ConfigPaths_posix.h"

#include <QByteArray>

namespace Registry {

// Whether the config folder and the organisation's folder are both the user's alone.
bool InOwnFolders(const StorePaths &paths);

// Creates the folder and its missing parents, each 0700 whatever the umask (XDG base directory
// rules), but only inside a folder of the user's own or of root's: run as root with a pupil's
// HOME (as sudo may), the program must not leave a folder of root's in the pupil's home.
bool MakeFolders(const QByteArray &folder);

} // namespace Registry
