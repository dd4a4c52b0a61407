#include "StoreLocation.h"

#include <QFileInfo>
#include <QIODevice>
#include <QStandardPaths>

namespace Registry {

namespace {

// A settings file holds seven short numbers; anything this large was not written by us, and
// QSettings would read all of it into memory.
constexpr qint64 kMaxStoreFileBytes = 16 * 1024 * 1024;

// Qt's own INI reading turns "@Variant(...)" and the like into objects through QDataStream, and
// a crafted value can make that ask for gigabytes. This reader keeps every value as the text it
// is. Keys of [General] come out as they are, those of another section S as "S/key"; lines
// without a key and a value are skipped. Bytes are taken one for one (Latin-1), so that a value
// written back has the very bytes it was read with.
bool ReadConf(QIODevice &device, QSettings::SettingsMap &map)
{
    QByteArray text = device.read(kMaxStoreFileBytes + 1);
    if (text.size() > kMaxStoreFileBytes)
        return false;
    if (text.startsWith("\xEF\xBB\xBF"))
        text.remove(0, 3);
    text.replace('\r', '\n');

    QString section;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.startsWith('[') && line.endsWith(']')) {
            section = QString::fromLatin1(line.mid(1, line.size() - 2).trimmed());
            if (section.compare(u"General", Qt::CaseInsensitive) == 0)
                section.clear();
            continue;
        }
        // The line is trimmed, so a key that starts the line is never blank.
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QString name = QString::fromLatin1(line.left(equals).trimmed());
        map.insert(section.isEmpty() ? name : section + u'/' + name,
                   QString::fromLatin1(line.mid(equals + 1).trimmed()));
    }
    return true;
}

// [General] with the plain keys first, then every other section; values go out as plain text.
bool WriteConf(QIODevice &device, const QSettings::SettingsMap &map)
{
    QByteArray general = "[General]\n";
    QByteArray others;
    QString section;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const qsizetype slash = it.key().indexOf(u'/');
        const QByteArray line =
            it.key().mid(slash + 1).toLatin1() + '=' + it.value().toString().toLatin1() + '\n';
        if (slash < 0) {
            general += line;
            continue;
        }
        // The map is sorted, so the keys of one section come together.
        if (it.key().left(slash) != section) {
            section = it.key().left(slash);
            others += "\n[" + section.toLatin1() + "]\n";
        }
        others += line;
    }
    const QByteArray text = general + others;
    return device.write(text) == text.size();
}

} // namespace

// The same file QSettings(NativeFormat, UserScope, organisation, application) uses, but looked
// up afresh on every call (QSettings fixes its folder once per process), so XDG_CONFIG_HOME is
// honoured whenever it changes.
QString UserStoreName(const QString &organisation, const QString &application)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (folder.isEmpty())
        return {};
    return folder + u'/' + organisation + u'/' + application + QStringLiteral(".conf");
}

QSettings::Format StoreFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("conf"), ReadConf, WriteConf);
    return format;
}

// QSettings opens and reads the whole file as soon as it is constructed: a named pipe would
// block it for ever and a device such as /dev/zero would never end.
bool StoreIsSafeToOpen(const QString &storeName)
{
    const QFileInfo file(storeName);
    if (!file.exists())
        return true;
    return file.isFile() && file.size() <= kMaxStoreFileBytes;
}

} // namespace Registry
