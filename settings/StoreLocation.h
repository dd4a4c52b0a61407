#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <utility>

// Where the current user's settings of `application` by `organisation` are kept and how they
// are read and written: the registry on Windows, a small file of our own elsewhere. One
// implementation per platform.
namespace Registry {

// The value stored under `valueName` as the store hands it over: an int (a registry DWORD) or
// text; invalid when there is none or the store cannot be read.
QVariant ReadStoredValue(const QString &organisation, const QString &application,
                         const QString &valueName);

// Stores the values, leaving everything else the store holds as it was. Whether they got there;
// when they did not, the store is as it was before.
bool WriteStoredValues(const QString &organisation, const QString &application,
                       const QList<std::pair<QString, qint32>> &values);

} // namespace Registry
