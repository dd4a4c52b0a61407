#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QVariant>

#include <utility>

// The bytes of a settings file, read and rewritten without touching the file system. Lines end
// in LF, CRLF or CR alone and are blank, comments (";" or "#"), sections ("[name]") or values
// ("name=value", the name without blanks); values before any section and under [General] form
// the general section, the only one read. Blanks around names and values do not count. Any
// other line, a line holding a NUL byte and one that starts with a byte order mark (which
// belongs only at the top of the file) is damaged: it is never read and a save drops it.
namespace Registry {

// The value stored under `valueName` (matched in any letter case, the first of two counting),
// its bytes one for one as text, so that nothing but ASCII digits can make a number; invalid
// when the text has none.
QVariant ValueInText(QByteArrayView text, const QString &valueName);

// Whether the text has no damaged line: a file that has one may be someone else's, a diary or a
// script reached through a link, and is not rewritten then.
bool IsSettingsText(QByteArrayView text);

// The text after a save of `values`: each one the general section has gets its new number in
// place, the others go after the section's last value, damaged lines are dropped and every
// other byte stays as it was.
QByteArray TextWithValues(QByteArrayView text, const QList<std::pair<QString, qint32>> &values);

} // namespace Registry
