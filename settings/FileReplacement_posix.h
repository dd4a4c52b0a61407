#pragma once

#include "Descriptor_posix.h"

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <sys/types.h>

namespace Registry {

// The file a save may replace: the settings file or, when that is a symbolic link, the file it
// leads to; either must be a regular file of the user's own that the user has not made
// read-only, the one a link leads to in a folder of the user's alone.
struct Target
{
    Descriptor folder; // pinned, as the settings folder is
    QByteArray name;   // in the folder
    QByteArray shown;  // its path, for the store's log
    bool throughLink = false;
    mode_t mode = 0600; // a new file's, whatever the umask
};

// Nothing when the save must leave what stands as `name` in the folder (at `path`) alone.
std::optional<Target> SaveTarget(int folder, const QByteArray &path, const QByteArray &name);

// Removes the copies of saves killed between writing and renaming them: only names of this
// store's own pattern, only regular files of the user's own, only ones older than a save takes.
void RemoveLeftovers(const Target &target);

// Writes the text beside the target and renames it over it: a reader sees the old file or the
// new one, never half of either, and a write that fails part-way (a full disk, a file size
// limit) leaves the old one whole. The copy reaches the disk before the rename, so that a crash
// cannot leave a settings file whose blocks were never written, and the folder after it, so that
// a save that says it is done survives a power loss.
bool ReplaceFile(const Target &target, QByteArrayView text);

} // namespace Registry
