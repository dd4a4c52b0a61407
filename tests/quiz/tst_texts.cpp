#include "AnswerReader.h"
#include "ResultSummary.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QString Answer(const char *typed)
{
    const std::optional<qint32> value = ReadAnswer(QString::fromUtf8(typed));
    return value ? QString::number(*value) : u"none"_s;
}

// One row per input, named by it, with what the program makes of it and the text expected.
template <typename In, typename Render>
void AddRows(const char *what, Render render,
             std::initializer_list<std::pair<In, const char *>> rows)
{
    for (const auto &[input, expected] : rows)
        QTest::addRow("%s %s", what, qPrintable(QVariant(input).toString()))
            << render(input) << QString::fromUtf8(expected);
}

} // namespace

// The texts the pupil types and reads: answers, the count sentence, the time, the diagnostic
// line and the pass mark.
class TextsTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void texts_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        // Reading stops at the first character that does not fit; halves go to the even value.
        // clang-format off
        AddRows<const char *>("answer", Answer, {{"56abc", "56"}, {"abc", "0"}, {" -3", "-3"},
            {"\t+4", "4"}, {"--5", "0"}, {"7.5", "8"}, {"6.5", "6"}, {"-2.5", "-2"}, {"6.51", "7"},
            {"6.4999", "6"}, {"7,5", "7"}, {"٣", "0"}, {"2147483647", "2147483647"},
            {"-2147483647.6", "-2147483648"}, {"2147483648", "none"}, {"2147483647.5", "none"},
            {"-2147483648", "-2147483648"}, {"-2147483649", "none"}, {"99999999999999999999", "none"},
            {"\u2212" "5", "-5"}, {"\u00A0" "7", "7"}, {"\u202F\u2212" "3", "-3"}});
        AddRows<int>("count", CountText, {{12, "Ты ответил правильно на все вопросы"},
            {11, "Ты правильно ответил на 11 вопросов"}, {5, "Ты правильно ответил на 5 вопросов"},
            {4, "Ты ответил правильно на 4 вопроса"}, {2, "Ты ответил правильно на 2 вопроса"},
            {1, "Ты ответил правильно всего на один вопрос"}, {0, "Ты не ответил верно ни на один вопрос"}});
        // Seconds up to 125, whole minutes above; only 11..19 themselves take no ending.
        AddRows<double>("time", FormatThinkingTime, {{0, "0 секунд"}, {1.9, "1 секунду"},
            {3, "3 секунды"}, {4, "4 секунды"}, {11, "11 секунд"}, {21, "21 секунду"},
            {111, "111 секунду"}, {112, "112 секунды"}, {115, "115 секунд"}, {121, "121 секунду"},
            {125, "125 секунд"}, {125.1, "2 минуты"}, {125.5, "2 минуты"}, {600, "10 минут"},
            {1260, "21 минуту"}, {24 * 60, "24 минуты"}, {111 * 60, "111 минуту"},
            {213 * 60, "213 минуты"}, {-3, "0 секунд"}});
        // clang-format on
        // The last field is the D and C flags after a blank; the intellectual mode never shows.
        using O = Operation;
        QTest::addRow("diagnostic easy")
            << DiagnosticLine({{}, 1, 10, 1, 10, O::Multiplication, false, true})
            << u"· 1 10 1 10 "_s;
        QTest::addRow("diagnostic difficult, calculator")
            << DiagnosticLine({{}, 1, 20, 1, 20, O::Addition, true, false, true})
            << u"+ 1 20 1 20 DC"_s;
        QTest::addRow("diagnostic negative")
            << DiagnosticLine({{}, -5, 5, 0, -1, O::Subtraction, false, false, true})
            << u"--5 5 0-1 C"_s;
        QString symbols; // of the operations 0 to 6
        for (int value = 0; value < 7; ++value)
            symbols += DiagnosticLine({{}, 1, 1, 1, 1, static_cast<Operation>(value)}).front();
        QTest::addRow("diagnostic symbols") << symbols << u"+-·:%^L"_s;
    }
    void texts()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(text, expected);
    }

    void resultSummary()
    {
        const QuizSettings masha{u"Маша"_s};
        const ResultSummary passed = MakeResultSummary(QuizOutcome{10, 61.0}, masha);
        QVERIFY(passed.Passed);
        QCOMPARE(QStringList({passed.NameText, passed.CountText, passed.TimeText}),
                 QStringList({"Маша", "Ты правильно ответил на 10 вопросов", "61 секунду"}));
        QVERIFY(!MakeResultSummary(QuizOutcome{9, 0.0}, masha).Passed);
    }
};

QTEST_GUILESS_MAIN(TextsTest)
#include "tst_texts.moc"
