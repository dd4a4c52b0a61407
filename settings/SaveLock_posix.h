#pragma once

#include "Descriptor_posix.h"

#include <QByteArray>

namespace Registry {

// Two saves at once take turns. The lock is held on the open file, so the kernel drops it when
// the process ends, however it ends, and a killed save leaves nothing behind that blocks the
// next. Only a regular file of the user's own is locked, opened without following a link and
// without blocking. A save that finds others waiting queues behind all of them and tries for
// the lock only once they have had it, so that a program saving again and again cannot keep it
// from the others. A lock file deleted while saves wait for it (a clean-up, by hand) is made
// anew, and a save that locked the deleted one tries again. Invalid when the lock is not had
// within a couple of seconds; `shown` names the file in the store's log.
Descriptor TakeLock(int folder, const QByteArray &name, const QByteArray &shown);

} // namespace Registry
