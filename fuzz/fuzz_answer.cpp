// The answer reader on arbitrary text: the input as UTF-8 and, reinterpreted, as UTF-16 so that
// every QChar turns up. Besides crashes and sanitizer reports it checks what the reader
// promises: reading stops at the first character that cannot continue a number, and leading
// blanks do not matter.

#include "AnswerReader.h"

#include <QString>

#include <cstdint>
#include <cstdlib>

namespace {

void Check(const QString &text)
{
    const std::optional<qint32> answer = ReadAnswer(text);
    if (ReadAnswer(text + u'x') != answer || ReadAnswer(u' ' + text) != answer ||
        ReadAnswer(u'\t' + text) != answer || ReadAnswer(QChar(0x00A0) + text) != answer)
        std::abort();
    if (answer && ReadAnswer(QString::number(*answer)) != answer)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const char *bytes = reinterpret_cast<const char *>(data);
    Check(QString::fromUtf8(bytes, static_cast<qsizetype>(size)));
    Check(QString(reinterpret_cast<const QChar *>(data), static_cast<qsizetype>(size / 2)));
    return 0;
}
