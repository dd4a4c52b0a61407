// Reading and saving the stored choices when the settings file holds arbitrary bytes, in memory
// through the same functions the store uses (tst_registry checks the file system side). Besides
// crashes, sanitizer reports and hangs it checks that a save gives a file without damaged lines
// whose seven values read back as saved, that saving the same values again changes no byte, and
// that every other line of the old file that can be read stays, in its order, and nothing else.

#include "Registry.h"
#include "SettingsText.h"

#include <QByteArray>
#include <QList>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

// The lines after a byte order mark, without their ends (LF, CRLF or CR).
QList<QByteArrayView> Lines(QByteArrayView text)
{
    if (text.startsWith(kByteOrderMark))
        text = text.sliced(kByteOrderMark.size());
    QList<QByteArrayView> lines;
    while (!text.isEmpty()) {
        const qsizetype lf = text.indexOf('\n');
        const qsizetype cr = text.first(lf < 0 ? text.size() : lf).indexOf('\r');
        const qsizetype end = cr >= 0 ? cr : lf >= 0 ? lf : text.size();
        lines.append(text.first(end));
        const bool crlf = end == cr && end + 1 < text.size() && text[end + 1] == '\n';
        text = text.sliced(std::min(text.size(), end + (crlf ? 2 : 1)));
    }
    return lines;
}

// Whether the line could be a value named like one of ours: "name=value" with the name in any
// letter case, blanks around it.
bool NamedLikeOurs(QByteArrayView line, const QList<std::pair<QString, qint32>> &ours)
{
    const qsizetype equals = line.indexOf('=');
    if (equals < 0)
        return false;
    const QLatin1StringView name(line.first(equals).trimmed());
    return std::any_of(ours.cbegin(), ours.cend(), [&](const auto &entry) {
        return entry.first.compare(name, Qt::CaseInsensitive) == 0;
    });
}

// The lines a save keeps as they are: those that are settings lines on their own (judged after a
// comment, so that a byte order mark does not count as the file's), except values named like
// ours, which it may change.
QList<QByteArrayView> KeptLines(QByteArrayView text, const QList<std::pair<QString, qint32>> &ours)
{
    static QByteArray alone = ";\n";
    QList<QByteArrayView> kept;
    for (const QByteArrayView line : Lines(text)) {
        alone.truncate(2);
        alone += line;
        if (!NamedLikeOurs(line, ours) && Registry::IsSettingsText(alone))
            kept.append(line);
    }
    return kept;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView contents(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const char *name : {"ExampleType", "IntellectualMode"})
        Registry::NumberValue(Registry::ValueInText(contents, QString::fromLatin1(name)));

    static const QList<std::pair<QString, qint32>> values = [] {
        const QuizSettings next{{}, -3, 3, 0, 9, Operation::Power, true, true};
        QList<std::pair<QString, qint32>> list;
        Registry::ForEachStoredValue(Registry::StoredValuesOf(next),
                                     [&](const QString &name, qint32 value) {
                                         list.append({name, value});
                                     });
        return list;
    }();
    const QByteArray saved = Registry::TextWithValues(contents, values);
    Check(Registry::IsSettingsText(saved));
    for (const auto &[name, value] : values)
        Check(Registry::NumberValue(Registry::ValueInText(saved, name)) == value);
    Check(Registry::TextWithValues(saved, values) == saved);
    Check(saved.startsWith(kByteOrderMark) == contents.startsWith(kByteOrderMark));
    Check(KeptLines(saved, values) == KeptLines(contents, values));
    return 0;
}
