#include "QuizRun.h"

#include "AnswerReader.h"
#include "ExampleGenerator.h"

namespace {

const QString kGiveUpMessage = QStringLiteral("Не могу придумать примеры");
const QString kQuitSuffix = QStringLiteral(", ты не прошёл тест");
const QString kQuestionTitle = QStringLiteral("Вопрос №");
const QString kDefaultAnswer = QStringLiteral("0");
const QString kRightMessage = QStringLiteral("Правильно");
const QString kRightTitle = QStringLiteral("Молодец");
const QString kWrongMessage = QStringLiteral("Ошибка");

QString QuestionPrompt(Operation op, qint32 a, qint32 b)
{
    return QuestionLead(op) + QString::number(a) + QuestionJoin(op) + QString::number(b) +
           QuestionTail(op);
}

// The corrected equation shown as the title of the error box: 7·8=56, log(2,8)=3.
QString CorrectedEquation(Operation op, const Example &example)
{
    const QString a = QString::number(example.FirstOperand);
    const QString b = QString::number(example.SecondOperand);
    const QString answer = QString::number(example.Answer);
    if (op == Operation::Logarithm)
        return QStringLiteral("log(") + a + u',' + b + QStringLiteral(")=") + answer;
    return a + OperationSymbol(op) + b + u'=' + answer;
}

} // namespace

void CheckCalculator(QuizSettings &settings, CalculatorProbe &probe)
{
    if (probe.CalculatorWindowOpen())
        settings.CalculatorSeen = true;
}

std::optional<QuizOutcome> RunQuiz(QuizSettings &settings, const QuizServices &services)
{
    QuizOutcome outcome;
    for (quint8 number = 1; number <= kQuestionCount; ++number) {
        const std::optional<Example> example =
            DrawExample(settings, services.random, services.clock);
        if (!example) {
            services.dialogs.ShowMessage(kGiveUpMessage, MessageIcon::Warning, QString());
            services.dialogs.EndProgram();
            return std::nullopt;
        }

        CheckCalculator(settings, services.calculator);
        const double opened = services.clock.Seconds();
        const QString answerText = services.dialogs.AskText(
            QuestionPrompt(settings.Operation, example->FirstOperand, example->SecondOperand),
            kQuestionTitle + QString::number(number), kDefaultAnswer);
        outcome.ThinkingSeconds += services.clock.Seconds() - opened;
        CheckCalculator(settings, services.calculator);

        if (answerText.isEmpty()) {
            services.dialogs.ShowMessage(settings.StudentName + kQuitSuffix, MessageIcon::Warning,
                                         QString());
            services.dialogs.EndProgram();
            return std::nullopt;
        }

        // An answer too large for 32 bits cannot equal the expected one: it is simply wrong.
        if (ReadAnswer(answerText) == example->Answer) {
            ++outcome.CorrectCount;
            services.dialogs.ShowMessage(kRightMessage, MessageIcon::Information, kRightTitle);
        } else {
            services.dialogs.ShowMessage(kWrongMessage, MessageIcon::Error,
                                         CorrectedEquation(settings.Operation, *example));
        }
    }
    return outcome;
}
