#pragma once

#include <QSettings>
#include <QString>

// Where and how QSettings keeps an application's settings for the current user, and whether
// that place can be handed to QSettings safely. One implementation per platform.
namespace Registry {

// The name to pass to QSettings(name, StoreFormat()) for the settings of `application` by
// `organisation`; empty when the platform offers no place for them.
QString UserStoreName(const QString &organisation, const QString &application);

// The format the store is read and written in.
QSettings::Format StoreFormat();

// False when opening the store could block or swamp memory, so it must be left alone.
bool StoreIsSafeToOpen(const QString &storeName);

} // namespace Registry
