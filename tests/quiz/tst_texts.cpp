#include "AnswerReader.h"
#include "Operation.h"
#include "QuizRun.h"
#include "ResultSummary.h"

#include <QTest>

// The texts the pupil reads and types: answers, the count sentence, the time, the diagnostic
// line, the corrected equations.
class TextsTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void readAnswer_data();
    void readAnswer();
    void countText_data();
    void countText();
    void thinkingTime_data();
    void thinkingTime();
    void diagnosticLine_data();
    void diagnosticLine();
    void passMark();
    void equationsAndPrompts();
    void exampleTypeCodes();
};

void TextsTest::readAnswer_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<qint32>("value");

    QTest::newRow("plain") << "56" << true << 56;
    QTest::newRow("trailing letters") << "56abc" << true << 56;
    QTest::newRow("letters only") << "abc" << true << 0;
    QTest::newRow("leading blanks and minus") << "  -3" << true << -3;
    QTest::newRow("minus") << "-3" << true << -3;
    QTest::newRow("plus") << "+4" << true << 4;
    QTest::newRow("tab") << "\t12" << true << 12;
    QTest::newRow("half up to even") << "7.5" << true << 8;
    QTest::newRow("half down to even") << "6.5" << true << 6;
    QTest::newRow("negative half") << "-2.5" << true << -2;
    QTest::newRow("above half") << "6.51" << true << 7;
    QTest::newRow("below half") << "6.4999" << true << 6;
    QTest::newRow("comma stops") << "7,5" << true << 7;
    QTest::newRow("blank inside stops") << "1 000" << true << 1;
    QTest::newRow("exponent stops") << "1e5" << true << 1;
    QTest::newRow("only a point") << "." << true << 0;
    QTest::newRow("point then digits") << ".6" << true << 1;
    QTest::newRow("sign alone") << "-" << true << 0;
    QTest::newRow("double sign") << "--5" << true << 0;
    QTest::newRow("default zero") << "0" << true << 0;
    QTest::newRow("leading zeros") << "0000000000000042" << true << 42;
    QTest::newRow("largest") << "2147483647" << true << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << true << qint32(-2147483647 - 1);
    QTest::newRow("rounds to smallest") << "-2147483647.6" << true << qint32(-2147483647 - 1);
    QTest::newRow("one past largest") << "2147483648" << false << 0;
    QTest::newRow("rounds past largest") << "2147483647.5" << false << 0;
    QTest::newRow("one past smallest") << "-2147483649" << false << 0;
    QTest::newRow("huge") << "99999999999999999999999999999" << false << 0;
    QTest::newRow("non-ASCII digits stop") << QStringLiteral("٣") << true << 0;
}

void TextsTest::readAnswer()
{
    QFETCH(QString, text);
    QFETCH(bool, fits);
    QFETCH(qint32, value);
    const std::optional<qint32> answer = ReadAnswer(text);
    QCOMPARE(answer.has_value(), fits);
    if (fits)
        QCOMPARE(*answer, value);
}

void TextsTest::countText_data()
{
    QTest::addColumn<qint32>("count");
    QTest::addColumn<QString>("text");

    QTest::newRow("12") << 12 << QStringLiteral("Ты ответил правильно на все вопросы");
    QTest::newRow("11") << 11 << QStringLiteral("Ты правильно ответил на 11 вопросов");
    QTest::newRow("9") << 9 << QStringLiteral("Ты правильно ответил на 9 вопросов");
    QTest::newRow("5") << 5 << QStringLiteral("Ты правильно ответил на 5 вопросов");
    QTest::newRow("4") << 4 << QStringLiteral("Ты ответил правильно на 4 вопроса");
    QTest::newRow("2") << 2 << QStringLiteral("Ты ответил правильно на 2 вопроса");
    QTest::newRow("1") << 1 << QStringLiteral("Ты ответил правильно всего на один вопрос");
    QTest::newRow("0") << 0 << QStringLiteral("Ты не ответил верно ни на один вопрос");
}

void TextsTest::countText()
{
    QFETCH(qint32, count);
    QFETCH(QString, text);
    QCOMPARE(CountText(count), text);
}

void TextsTest::thinkingTime_data()
{
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("text");

    QTest::newRow("0 s") << 0.0 << QStringLiteral("0 секунд");
    QTest::newRow("1.9 s") << 1.9 << QStringLiteral("1 секунду");
    QTest::newRow("3 s") << 3.0 << QStringLiteral("3 секунды");
    QTest::newRow("5 s") << 5.0 << QStringLiteral("5 секунд");
    QTest::newRow("11 s") << 11.0 << QStringLiteral("11 секунд");
    QTest::newRow("19 s") << 19.0 << QStringLiteral("19 секунд");
    QTest::newRow("21 s") << 21.0 << QStringLiteral("21 секунду");
    QTest::newRow("112 s") << 112.0 << QStringLiteral("112 секунд");
    QTest::newRow("125 s") << 125.0 << QStringLiteral("125 секунд");
    QTest::newRow("125.1 s") << 125.1 << QStringLiteral("2 минуты");
    QTest::newRow("125.5 s") << 125.5 << QStringLiteral("2 минуты");
    QTest::newRow("600 s") << 600.0 << QStringLiteral("10 минут");
    QTest::newRow("1260 s") << 1260.0 << QStringLiteral("21 минуту");
    QTest::newRow("111 min") << 111 * 60.0 << QStringLiteral("111 минут");
    QTest::newRow("213 min") << 213 * 60.0 << QStringLiteral("213 минут");
    QTest::newRow("121 min") << 121 * 60.0 << QStringLiteral("121 минуту");
    QTest::newRow("negative never shows") << -3.0 << QStringLiteral("0 секунд");
}

void TextsTest::thinkingTime()
{
    QFETCH(double, seconds);
    QFETCH(QString, text);
    QCOMPARE(FormatThinkingTime(seconds), text);
}

void TextsTest::diagnosticLine_data()
{
    QTest::addColumn<int>("op");
    QTest::addColumn<QList<qint32>>("bounds");
    QTest::addColumn<bool>("difficult");
    QTest::addColumn<bool>("calculator");
    QTest::addColumn<QString>("line");

    QTest::newRow("default quiz") << int(Operation::Multiplication) << QList<qint32>{1, 10, 1, 10}
                                  << false << false << QStringLiteral("\u00B7 1 10 1 10 ");
    QTest::newRow("difficult with calculator")
        << int(Operation::Addition) << QList<qint32>{1, 20, 1, 20} << true << true
        << QStringLiteral("+ 1 20 1 20 DC");
    QTest::newRow("negative bounds") << int(Operation::Subtraction) << QList<qint32>{-5, 5, 0, -1}
                                     << false << true << QStringLiteral("--5 5 0-1 C");
    QTest::newRow("logarithm") << int(Operation::Logarithm) << QList<qint32>{2, 10, 1, 1000} << true
                               << false << QStringLiteral("L 2 10 1 1000 D");
}

void TextsTest::diagnosticLine()
{
    QFETCH(int, op);
    QFETCH(QList<qint32>, bounds);
    QFETCH(bool, difficult);
    QFETCH(bool, calculator);
    QFETCH(QString, line);

    QuizSettings settings;
    settings.Operation = static_cast<Operation>(op);
    settings.Min1 = bounds[0];
    settings.Max1 = bounds[1];
    settings.Min2 = bounds[2];
    settings.Max2 = bounds[3];
    settings.Difficult = difficult;
    settings.CalculatorSeen = calculator;
    settings.IntellectualMode = true; // never shown
    QCOMPARE(DiagnosticLine(settings), line);
}

void TextsTest::passMark()
{
    QuizSettings settings;
    settings.StudentName = QStringLiteral("Маша");
    const ResultSummary passed = MakeResultSummary(QuizOutcome{10, 61.0}, settings);
    QVERIFY(passed.Passed);
    QCOMPARE(passed.NameText, QStringLiteral("Маша"));
    QCOMPARE(passed.CountText, QStringLiteral("Ты правильно ответил на 10 вопросов"));
    QCOMPARE(passed.TimeText, QStringLiteral("61 секунду"));
    QVERIFY(!MakeResultSummary(QuizOutcome{9, 0.0}, settings).Passed);
}

void TextsTest::equationsAndPrompts()
{
    QCOMPARE(CorrectedEquation(Operation::Multiplication, Example{7, 8, 56}),
             QStringLiteral("7\u00B78=56"));
    QCOMPARE(CorrectedEquation(Operation::Logarithm, Example{2, 8, 3}),
             QStringLiteral("log(2,8)=3"));
    QCOMPARE(CorrectedEquation(Operation::Subtraction, Example{-3, -4, 1}),
             QStringLiteral("-3--4=1"));
    QCOMPARE(CorrectedEquation(Operation::Remainder, Example{-7, 3, -1}),
             QStringLiteral("-7%3=-1"));

    QCOMPARE(QuestionPrompt(Operation::Addition, 3, 5), QStringLiteral("Сколько будет 3 плюс 5?"));
    QCOMPARE(QuestionPrompt(Operation::Division, -7, 2),
             QStringLiteral("Какая целая часть при делении -7 на 2?"));
    QCOMPARE(QuestionPrompt(Operation::Remainder, 7, 3),
             QStringLiteral("Найди остаток при делении 7 на 3."));
    QCOMPARE(QuestionPrompt(Operation::Power, 2, 10), QStringLiteral("Возведи 2 в степень 10."));
    QCOMPARE(QuestionPrompt(Operation::Logarithm, 2, 8),
             QStringLiteral("Найди целую часть логарифма по основанию 2 от числа 8."));
    QCOMPARE(QuestionPrompt(Operation::Multiplication, 7, 8),
             QStringLiteral("Сколько будет 7 умножить на 8?"));
    QCOMPARE(OperationSymbols(), QStringLiteral("+-\u00B7:%^L"));
}

void TextsTest::exampleTypeCodes()
{
    for (Operation op : kAllOperations)
        QCOMPARE(OperationFromExampleType(ExampleTypeCode(op)), std::optional<Operation>(op));
    QCOMPARE(ExampleTypeCode(Operation::Addition), 1);
    QCOMPARE(ExampleTypeCode(Operation::Logarithm), 7);
    QVERIFY(!OperationFromExampleType(0));
    QVERIFY(!OperationFromExampleType(8));
    QVERIFY(!OperationFromExampleType(-1));
}

QTEST_GUILESS_MAIN(TextsTest)
#include "tst_texts.moc"
