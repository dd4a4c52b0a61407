#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>
#include <sys/types.h>

namespace Registry {

// The file a save may replace: the settings file or, when that is a symbolic link, the file it
// leads to; either must be a regular file of the user's own that the user has not made
// read-only.
struct Target
{
    QByteArray path;
    bool throughLink = false;
    mode_t mode = 0600; // a new file's, whatever the umask
};

// Nothing when the save must leave what stands at the path alone.
std::optional<Target> SaveTarget(const QByteArray &path);

// Removes the copies of saves killed between writing and renaming them: only names of this
// store's own pattern, only regular files of the user's own, only ones older than a save takes.
void RemoveLeftovers(const QByteArray &path);

// Writes the text beside the target and renames it over it: a reader sees the old file or the
// new one, never half of either, and a write that fails part-way (a full disk) leaves the old
// one whole. The copy reaches the disk before the rename, so that a crash cannot leave a
// settings file whose blocks were never written.
bool ReplaceFile(const Target &target, QByteArrayView text);

} // namespace Registry
