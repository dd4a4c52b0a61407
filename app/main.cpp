#include "ResultSummary.h"
#include "mdMain.h"

#include <QApplication>

// Until the start window exists the quiz starts from its defaults: multiplication, 1..10 and
// 1..10, easy.
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vorpa"));

    QuizSettings &settings = mdMain::Settings();
    settings.Min1 = 1;
    settings.Max1 = 10;
    settings.Min2 = 1;
    settings.Max2 = 10;
    settings.Operation = Operation::Multiplication;
    const std::optional<QuizOutcome> outcome = mdMain::RunQuiz();
    if (outcome) {
        const ResultSummary summary = MakeResultSummary(*outcome, settings);
        mdMain::Dialogs().ShowMessage(summary.CountText + u'\n' + summary.TimeText,
                                      MessageIcon::Information, std::nullopt);
    }
    return 0;
}
