#pragma once

#include "ConfigPaths_posix.h"

#include <QByteArray>

namespace Registry {

// Whether the config folder and the organisation's folder are both the user's alone; when not,
// the store's log says so after `outcome` ("no settings read", "save skipped").
bool InOwnFolders(const StorePaths &paths, const char *outcome);

// Creates the folder and its missing parents, each 0700 whatever the umask (XDG base directory
// rules), but only inside a folder of the user's own or of root's: run as root with a pupil's
// HOME (as sudo may), the program must not leave a folder of root's in the pupil's home.
bool MakeFolders(const QByteArray &folder);

} // namespace Registry
