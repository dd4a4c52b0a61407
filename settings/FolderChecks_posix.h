#pragma once

#include "Descriptor_posix.h"

#include <QByteArray>

namespace Registry {

// The folder at the absolute `path`, opened one component after another from the root and
// checked on each descriptor, never through a link that anyone but the user or root could have
// put there: the last `own` folders must be the user's alone, as a careful server checks its
// own (anyone else who may write there could put a link where the settings file belongs and
// have a save rewrite another of the user's files); every folder above them root's or the
// user's, and sticky if others may write to it (else they could swap the folder below for one
// of theirs). Every later step works relative to the descriptor, so that no swap of a folder on
// the path after the checks can lead a save elsewhere.
//
// With `create`, missing folders are made 0700 whatever the umask (XDG base directory rules),
// which the checks above allow only inside a folder of the user's own or of root's: run as root
// with a pupil's HOME (as sudo may), the program must not leave a folder of root's in the
// pupil's home. Each new folder is put on the disk at once.
//
// Invalid when refused; the store's log then says why, after `outcome` ("save skipped").
Descriptor PinFolder(const QByteArray &path, qsizetype own, bool create, const char *outcome);

} // namespace Registry
