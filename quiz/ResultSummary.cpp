#include "ResultSummary.h"

#include <cmath>
#include <limits>

namespace {

const QString kAllRight = QStringLiteral("Ты ответил правильно на все вопросы");
const QString kManyLead = QStringLiteral("Ты правильно ответил на");
const QString kManyTail = QStringLiteral(" вопросов");
const QString kFewLead = QStringLiteral("Ты ответил правильно на");
const QString kFewTail = QStringLiteral(" вопроса");
const QString kOneRight = QStringLiteral("Ты ответил правильно всего на один вопрос");
const QString kNoneRight = QStringLiteral("Ты не ответил верно ни на один вопрос");

const QString kSeconds = QStringLiteral(" секунд");
const QString kMinutes = QStringLiteral(" минут");
// Up to this many seconds the time is told in seconds.
constexpr double kSecondsLimit = 125.0;

// A number with one leading blank when it is zero or positive: " 42", "-7".
QString SpacedDecimal(qint32 value)
{
    const QString plain = QString::number(value);
    return value >= 0 ? u' ' + plain : plain;
}

} // namespace

QString CountText(qint32 c)
{
    QString text = kAllRight;
    if (c < kQuestionCount)
        text = kManyLead + SpacedDecimal(c) + kManyTail;
    if (c < 5)
        text = kFewLead + SpacedDecimal(c) + kFewTail;
    if (c == 1)
        text = kOneRight;
    if (c == 0)
        text = kNoneRight;
    return text;
}

QString FormatThinkingTime(double seconds)
{
    // The total comes from a monotonic clock; guard anyway so that no text ever says "-1".
    if (!(seconds >= 0.0))
        seconds = 0.0;
    const bool inMinutes = seconds > kSecondsLimit;
    const double value = inMinutes ? seconds / 60.0 : seconds;
    const double floored = std::floor(value);
    const qint32 d = floored >= std::numeric_limits<qint32>::max()
                         ? std::numeric_limits<qint32>::max()
                         : static_cast<qint32>(floored);

    QString phrase = QString::number(d) + (inMinutes ? kMinutes : kSeconds);
    // Only 11..19 themselves take no ending: 111 takes that of 1, 112 that of 2.
    if (d < 11 || d > 19) {
        const int r = d % 10;
        if (r == 1)
            phrase += u'у';
        else if (r >= 2 && r <= 4)
            phrase += u'ы';
    }
    return phrase;
}

QString DiagnosticLine(const QuizSettings &settings)
{
    QString line = OperationSymbol(settings.Operation) + SpacedDecimal(settings.Min1) +
                   SpacedDecimal(settings.Max1) + SpacedDecimal(settings.Min2) +
                   SpacedDecimal(settings.Max2) + u' ';
    if (settings.Difficult)
        line += u'D';
    if (settings.CalculatorSeen)
        line += u'C';
    return line;
}

ResultSummary MakeResultSummary(const QuizOutcome &outcome, const QuizSettings &settings)
{
    return ResultSummary{
        settings.StudentName,
        outcome.CorrectCount >= kPassMark,
        CountText(outcome.CorrectCount),
        FormatThinkingTime(outcome.ThinkingSeconds),
    };
}
