#include "Operation.h"

namespace {

struct Phrases
{
    const char16_t *lead;
    const char16_t *join;
    const char16_t *tail;
};

constexpr std::array<Phrases, kOperationCount> kPhrases = {{
    {u"Сколько будет ", u" плюс ", u"?"},
    {u"Сколько будет ", u" минус ", u"?"},
    {u"Сколько будет ", u" умножить на ", u"?"},
    {u"Какая целая часть при делении ", u" на ", u"?"},
    {u"Найди остаток при делении ", u" на ", u"."},
    {u"Возведи ", u" в степень ", u"."},
    {u"Найди целую часть логарифма по основанию ", u" от числа ", u"."},
}};

constexpr char16_t kSymbols[] = u"+-\u00B7:%^L";

const Phrases &PhrasesOf(Operation op)
{
    return kPhrases[static_cast<size_t>(op)];
}

} // namespace

QString OperationSymbols()
{
    return QString::fromUtf16(kSymbols);
}

QChar OperationSymbol(Operation op)
{
    return QChar(kSymbols[static_cast<size_t>(op)]);
}

QString QuestionLead(Operation op)
{
    return QString::fromUtf16(PhrasesOf(op).lead);
}

QString QuestionJoin(Operation op)
{
    return QString::fromUtf16(PhrasesOf(op).join);
}

QString QuestionTail(Operation op)
{
    return QString::fromUtf16(PhrasesOf(op).tail);
}

int ExampleTypeCode(Operation op)
{
    return static_cast<int>(op) + 1;
}

std::optional<Operation> OperationFromExampleType(qint32 code)
{
    if (code < 1 || code > kOperationCount)
        return std::nullopt;
    return static_cast<Operation>(code - 1);
}
