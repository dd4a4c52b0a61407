#pragma once

#include <QByteArray>

#include <optional>

namespace Registry {

// Seven short numbers never need more; a larger file is read as no settings, without reading it.
constexpr qint64 kMaxFileBytes = 64 * 1024;

// The bytes of the regular file `name` in the folder, at most kMaxFileBytes, empty when there is
// no file; nothing when something else stands there or it cannot be read. Opened without
// blocking, so that a named pipe or a device cannot hold the program up.
std::optional<QByteArray> ReadSmallFile(int folder, const QByteArray &name);

} // namespace Registry
