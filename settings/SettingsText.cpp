#include "SettingsText.h"

#include <algorithm>

namespace Registry {

namespace {

constexpr QByteArrayView kByteOrderMark = "\xEF\xBB\xBF";

enum class LineKind
{
    Blank,
    Comment,
    Section,
    Value,
    Damaged,
};

// One line: where its bytes lie, without its line end (`end`) and with it (`next`); whether it
// is in the general section (for a section line: whether it opens it); for a value, where the
// name and the value lie.
struct Line
{
    qsizetype index = 0, start = 0, end = 0, next = 0;
    LineKind kind = LineKind::Damaged;
    bool general = false;
    QByteArrayView name;
    qsizetype valueStart = 0, valueEnd = 0;
};

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Hands each line of the text to `visit` in order, until it returns false. Reading the file
// seven times over and fuzzing it make this a loop without allocations.
template <typename Visit> void ForEachLine(QByteArrayView text, Visit visit)
{
    bool general = true;
    Line line;
    line.next = text.startsWith(kByteOrderMark) ? kByteOrderMark.size() : 0;
    for (; line.next < text.size(); ++line.index) {
        line.start = line.next;
        // The first CR or LF: looking for an LF first would scan the rest of a file of CRs
        // alone again for every line.
        line.end = std::find_if(text.begin() + line.start, text.end(),
                                [](char c) { return c == '\n' || c == '\r'; }) -
                   text.begin();
        line.next = line.end;
        if (line.next < text.size()) {
            const bool crlf = text[line.next] == '\r' && line.next + 1 < text.size() &&
                              text[line.next + 1] == '\n';
            line.next += crlf ? 2 : 1;
        }
        qsizetype b = line.start, e = line.end;
        while (b < e && IsBlank(text[b]))
            ++b;
        while (e > b && IsBlank(text[e - 1]))
            --e;
        const QByteArrayView raw = text.sliced(line.start, line.end - line.start);
        const QByteArrayView content = text.sliced(b, e - b);
        const qsizetype equals = content.indexOf('=');
        const QByteArrayView name = content.first(std::max<qsizetype>(equals, 0)).trimmed();
        line.general = general;
        if (raw.contains('\0') || raw.startsWith(kByteOrderMark)) {
            // A crash can leave a run of NULs in a file; a byte order mark belongs at its top.
            line.kind = LineKind::Damaged;
        } else if (content.isEmpty()) {
            line.kind = LineKind::Blank;
        } else if (content.startsWith(';') || content.startsWith('#')) {
            line.kind = LineKind::Comment;
        } else if (content.startsWith('[') && content.endsWith(']')) {
            line.kind = LineKind::Section;
            const QByteArrayView section = content.sliced(1, content.size() - 2).trimmed();
            general = section.compare("General", Qt::CaseInsensitive) == 0;
            line.general = general;
        } else if (!name.isEmpty() && !name.contains(' ') && !name.contains('\t')) {
            line.kind = LineKind::Value;
            line.name = name;
            line.valueStart = b + equals + 1;
            while (line.valueStart < e && IsBlank(text[line.valueStart]))
                ++line.valueStart;
            line.valueEnd = e;
        } else {
            line.kind = LineKind::Damaged;
        }
        if (!visit(line))
            return;
    }
}

bool IsOurs(const Line &line, const QString &name)
{
    return line.kind == LineKind::Value && line.general &&
           name.compare(QLatin1StringView(line.name), Qt::CaseInsensitive) == 0;
}

} // namespace

QVariant ValueInText(QByteArrayView text, const QString &valueName)
{
    QVariant value;
    ForEachLine(text, [&](const Line &line) {
        if (!IsOurs(line, valueName))
            return true;
        value = QString::fromLatin1(text.sliced(line.valueStart, line.valueEnd - line.valueStart));
        return false;
    });
    return value;
}

bool IsSettingsText(QByteArrayView text)
{
    bool damaged = false;
    ForEachLine(text, [&](const Line &line) {
        damaged = line.kind == LineKind::Damaged;
        return !damaged;
    });
    return !damaged;
}

QByteArray TextWithValues(QByteArrayView text, const QList<std::pair<QString, qint32>> &values)
{
    // First where each value is and where those the text lacks go: after the general section's
    // last value or, before any, after its header (-1: at the top); and the text's own line end.
    QList<qsizetype> lineOf(values.size(), -1);
    qsizetype insertAfter = -1;
    bool headerSeen = false, valueSeen = false;
    QByteArrayView lineEnd;
    ForEachLine(text, [&](const Line &line) {
        if (lineEnd.isEmpty() && line.next > line.end)
            lineEnd = text.sliced(line.end, line.next - line.end);
        if (line.kind == LineKind::Section && line.general) {
            if (!headerSeen && !valueSeen)
                insertAfter = line.index;
            headerSeen = true;
        } else if (line.kind == LineKind::Value && line.general) {
            insertAfter = line.index;
            valueSeen = true;
            for (qsizetype i = 0; i < values.size(); ++i) {
                if (lineOf[i] < 0 && IsOurs(line, values[i].first))
                    lineOf[i] = line.index;
            }
        }
        return true;
    });
    if (lineEnd.isEmpty())
        lineEnd = "\n";
    QByteArray added;
    added.reserve(32 * values.size());
    for (qsizetype i = 0; i < values.size(); ++i) {
        if (lineOf[i] < 0)
            added.append(values[i].first.toLatin1())
                .append('=')
                .append(QByteArray::number(values[i].second))
                .append(lineEnd);
    }

    QByteArray result = text.startsWith(kByteOrderMark) ? kByteOrderMark.toByteArray() : "";
    result.reserve(text.size() + added.size() + 16 * values.size());
    if (insertAfter < 0)
        result += added;
    ForEachLine(text, [&](const Line &line) {
        if (line.kind == LineKind::Damaged)
            return true;
        // The last value set for this line, if any.
        const auto set = std::find(lineOf.crbegin(), lineOf.crend(), line.index);
        if (line.start == line.end && text[line.end] == '\n' && result.endsWith('\r')) {
            // An empty line ended by LF after one ended by CR alone (a damaged line between them
            // dropped) would join that CR into one CRLF: it ends in CR alone too.
            result += '\r';
        } else if (set == lineOf.crend()) {
            result += text.sliced(line.start, line.next - line.start);
        } else {
            result += text.sliced(line.start, line.valueStart - line.start);
            result += QByteArray::number(values[std::distance(set, lineOf.crend()) - 1].second);
            result += text.sliced(line.valueEnd, line.next - line.valueEnd);
        }
        if (line.index == insertAfter && !added.isEmpty()) {
            if (line.next == line.end) // the last line, without a line end of its own
                result += lineEnd;
            result += added;
        }
        return true;
    });
    return result;
}

} // namespace Registry
