#include "AnswerReader.h"
#include "ResultSummary.h"

#include <QTest>
#include <QVariant>

#include <utility>

namespace {

// Compares each input's result with the expected text, naming the input on failure.
template <typename In, typename F>
void CheckAll(F render, std::initializer_list<std::pair<In, const char *>> cases)
{
    for (const auto &[input, expected] : cases) {
        const QString name = QVariant::fromValue(input).toString() + QStringLiteral(" -> ");
        QCOMPARE(name + render(input), name + QString::fromUtf8(expected));
    }
}

} // namespace

// The texts the pupil types and reads: answers, the count sentence, the time, the diagnostic
// line and the pass mark.
class TextsTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void readAnswer()
    {
        // Reading stops at the first character that does not fit; halves go to the even value.
        const auto read = [](const QString &text) {
            const std::optional<qint32> value = ReadAnswer(text);
            return value ? QString::number(*value) : QStringLiteral("none");
        };
        // clang-format off
        CheckAll<QString>(read, {{"56abc", "56"}, {"abc", "0"}, {" -3", "-3"}, {"\t+4", "4"},
            {"--5", "0"}, {"7.5", "8"}, {"6.5", "6"}, {"-2.5", "-2"}, {"6.51", "7"},
            {"6.4999", "6"}, {"7,5", "7"}, {"٣", "0"}, {"2147483647", "2147483647"},
            {"-2147483647.6", "-2147483648"}, {"2147483648", "none"}, {"2147483647.5", "none"},
            {"-2147483648", "-2147483648"}, {"-2147483649", "none"}, {"99999999999999999999", "none"},
            {"\u2212" "5", "-5"}, {"\u00A0" "7", "7"}, {"\u202F\u2212" "3", "-3"}});
        // clang-format on
    }

    void resultSummary()
    {
        CheckAll<int>(CountText, {{12, "Ты ответил правильно на все вопросы"},
                                  {11, "Ты правильно ответил на 11 вопросов"},
                                  {5, "Ты правильно ответил на 5 вопросов"},
                                  {4, "Ты ответил правильно на 4 вопроса"},
                                  {2, "Ты ответил правильно на 2 вопроса"},
                                  {1, "Ты ответил правильно всего на один вопрос"},
                                  {0, "Ты не ответил верно ни на один вопрос"}});
        // Seconds up to 125, whole minutes above; 11..19 of each hundred take no ending.
        // clang-format off
        CheckAll<double>(FormatThinkingTime, {{0, "0 секунд"}, {1.9, "1 секунду"}, {4, "4 секунды"},
            {11, "11 секунд"}, {21, "21 секунду"}, {112, "112 секунд"}, {125, "125 секунд"},
            {125.1, "2 минуты"}, {600, "10 минут"}, {1260, "21 минуту"}, {24 * 60, "24 минуты"},
            {111 * 60, "111 минут"}, {213 * 60, "213 минут"}, {-3, "0 секунд"}});
        // clang-format on
        // The last field is the D and C flags after a blank; the intellectual mode never shows.
        using O = Operation;
        QCOMPARE(DiagnosticLine({{}, 1, 10, 1, 10, O::Multiplication, false, true}),
                 QStringLiteral("· 1 10 1 10 "));
        QCOMPARE(DiagnosticLine({{}, 1, 20, 1, 20, O::Addition, true, false, true}),
                 QStringLiteral("+ 1 20 1 20 DC"));
        QCOMPARE(DiagnosticLine({{}, -5, 5, 0, -1, O::Subtraction, false, false, true}),
                 QStringLiteral("--5 5 0-1 C"));
        QString symbols; // of the operations 0 to 6
        for (int value = 0; value < 7; ++value)
            symbols += DiagnosticLine({{}, 1, 1, 1, 1, static_cast<Operation>(value)}).front();
        QCOMPARE(symbols, QStringLiteral("+-·:%^L"));

        const QuizSettings masha{QStringLiteral("Маша")};
        const ResultSummary passed = MakeResultSummary(QuizOutcome{10, 61.0}, masha);
        QVERIFY(passed.Passed);
        QCOMPARE(QStringList({passed.NameText, passed.CountText, passed.TimeText}),
                 QStringList({"Маша", "Ты правильно ответил на 10 вопросов", "61 секунду"}));
        QVERIFY(!MakeResultSummary(QuizOutcome{9, 0.0}, masha).Passed);
    }
};

QTEST_GUILESS_MAIN(TextsTest)
#include "tst_texts.moc"
