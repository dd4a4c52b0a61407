#include "LoginName.h"
#include "ModalAnswerer.h"
#include "StoreForTests.h"
#include "Twips.h"
#include "frmFinish.h"
#include "frmStart.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyleOptionButton>

Q_DECLARE_METATYPE(Registry::StoredValues)

namespace {

// Stored choices that no test sets on the window, so that an overwrite shows.
const Registry::StoredValues kSentinel{4, 1, 3, 4, 5, 6, 1};

// The number in the name of the one selected option button; 0 for none, -1 for several.
int SelectedOption(const frmStart &w)
{
    const QList<QRadioButton *> options = {w.Option1, w.Option2, w.Option3, w.Option4,
                                           w.Option5, w.Option6, w.Option7};
    int selected = 0;
    for (int i = 0; i < options.size(); ++i) {
        if (options[i]->isChecked())
            selected = selected == 0 ? i + 1 : -1;
    }
    return selected;
}

QStringList BoundTexts(const frmStart &w)
{
    return {w.Text1[0]->text(), w.Text2[0]->text(), w.Text1[1]->text(), w.Text2[1]->text()};
}

// Multiplication with every question 7 times 8.
void SetSevenTimesEight(frmStart &w)
{
    w.Option3->setChecked(true);
    const QStringList bounds = {"7", "7", "8", "8"};
    const QList<QLineEdit *> fields = {w.Text1[0], w.Text2[0], w.Text1[1], w.Text2[1]};
    for (int i = 0; i < 4; ++i)
        fields[i]->setText(bounds[i]);
}

void TypeName(frmStart &w, const QString &name)
{
    w.Text3->selectAll();
    QTest::keyClick(w.Text3, Qt::Key_Delete);
    TypeText(w.Text3, name);
}

// The width a control has for the text of its caption: a label all of it, a button what its
// indicator leaves.
int CaptionRoom(QWidget *control)
{
    auto *button = qobject_cast<QAbstractButton *>(control);
    if (!button)
        return control->contentsRect().width();
    QStyleOptionButton option;
    option.initFrom(button);
    const auto contents = qobject_cast<QRadioButton *>(button) ? QStyle::SE_RadioButtonContents
                                                               : QStyle::SE_CheckBoxContents;
    return button->style()->subElementRect(contents, &option, button).width();
}

} // namespace

// The start window: its design, what it restores, the name gate on saving, and "Начать".
class StartWindowTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase() { PrepareWindowsTest(m_configHome); }
    void cleanup() { QVERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void firstRunShowsTheDesignState();
    void layout();
    void nameEditsGateTheIntellectualBox();
    void restoresStoredValues_data();
    void restoresStoredValues();
    void startCopiesTheChoicesAndSavesOnlyForTheLoginName_data();
    void startCopiesTheChoicesAndSavesOnlyForTheLoginName();
    void badBoundsAreRejected_data();
    void badBoundsAreRejected();
    void enterStartsTheQuiz();

  private:
    QTemporaryDir m_configHome;
};

// Runs first, while the store is still empty; loading only reads it.
void StartWindowTest::firstRunShowsTheDesignState()
{
    const QList<qint32> empty = Values({});
    QCOMPARE(Values(Registry::LoadSettings()), empty);
    frmStart w;
    QVERIFY(!GetLoginName().isEmpty());
    QCOMPARE(w.Text3->text(), GetLoginName());
    QCOMPARE(SelectedOption(w), 3);
    QCOMPARE(BoundTexts(w), QStringList({"1", "10", "1", "10"}));
    QVERIFY(!w.Check1->isChecked() && !w.Check2->isChecked());
    QVERIFY(w.Check2->isEnabled());
    QCOMPARE(Values(Registry::LoadSettings()), empty);
}

void StartWindowTest::layout()
{
    frmStart w;
    QCOMPARE(w.windowTitle(), QStringLiteral("Обучающие примеры"));
    QVERIFY(!w.windowIcon().isNull() && !w.Command2->icon().isNull());
    const qreal dpiX = w.logicalDpiX(), dpiY = w.logicalDpiY();
    QCOMPARE(w.size(), QSize(TwipsToPixels(6615, dpiX), TwipsToPixels(3750, dpiY)));
    QCOMPARE(w.Text2[1]->geometry(), TwipsToRect(1950, 1335, 735, 285, dpiX, dpiY));
    QCOMPARE(w.Command1->geometry(), TwipsToRect(5280, 3240, 1215, 375, dpiX, dpiY));

    // The twips were measured for a narrow 8-point font. With this desktop's font no caption
    // is cut off: a box that is too narrow widens in place, inside its frame.
    const QList<QWidget *> captioned = {
        w.Option1,   w.Option2,   w.Option3,   w.Option4,   w.Option5,   w.Option6,
        w.Option7,   w.Check1,    w.Check2,    w.Label1[0], w.Label1[1], w.Label2[0],
        w.Label2[1], w.Label3[0], w.Label3[1], w.Label4,
    };
    for (QWidget *control : captioned) {
        const auto *button = qobject_cast<QAbstractButton *>(control);
        const QString caption = button ? button->text() : qobject_cast<QLabel *>(control)->text();
        QVERIFY2(CaptionRoom(control) >= control->fontMetrics().horizontalAdvance(caption),
                 qPrintable(caption));
        QVERIFY(control->height() >= control->fontMetrics().height());
        QVERIFY(control->parentWidget()->rect().contains(control->geometry()));
    }
    QCOMPARE(w.Label2[0]->pos(), TwipsToRect(480, 660, 165, 195, dpiX, dpiY).topLeft());

    // Tab walks the controls in the order of their tab indices; frames and labels take none.
    const QList<QWidget *> tabOrder = {
        w.Option2, w.Option6, w.Option3,  w.Option4,  w.Option5,  w.Option7,
        w.Option1, w.Check1,  w.Text1[0], w.Text2[0], w.Text1[1], w.Text2[1],
        w.Text3,   w.Check2,  w.Command1, w.Command2,
    };
    QList<QWidget *> walked;
    QWidget *next = w.Option2;
    do {
        if (next->focusPolicy() & Qt::TabFocus)
            walked << next;
        next = next->nextInFocusChain();
    } while (next != w.Option2 && walked.size() <= tabOrder.size());
    QCOMPARE(walked, tabOrder);
}

void StartWindowTest::nameEditsGateTheIntellectualBox()
{
    frmStart w;
    const QString login = GetLoginName();
    w.Check2->setChecked(true);
    TypeName(w, QStringLiteral("Петя"));
    QVERIFY(!w.Check2->isChecked() && !w.Check2->isEnabled());

    // The comparison is exact: another case or a trailing blank makes another name.
    const QString otherCase = login.toUpper() != login ? login.toUpper() : login.toLower();
    for (const QString &name : {otherCase, login + u' '}) {
        if (name != login) {
            TypeName(w, name);
            QVERIFY(!w.Check2->isEnabled());
        }
    }

    // Back on the login name the box may be used again but stays clear, and so does any edit
    // that ends on the login name, or a change by the program.
    TypeName(w, login);
    QVERIFY(w.Check2->isEnabled() && !w.Check2->isChecked());
    w.Check2->setChecked(true);
    QTest::keyClick(w.Text3, Qt::Key_Backspace);
    TypeText(w.Text3, login.right(1));
    QCOMPARE(w.Text3->text(), login);
    QVERIFY(w.Check2->isEnabled() && !w.Check2->isChecked());
    w.Check2->setChecked(true);
    w.Text3->setText(QStringLiteral("Маша"));
    QVERIFY(!w.Check2->isChecked() && !w.Check2->isEnabled());
}

void StartWindowTest::restoresStoredValues_data()
{
    QTest::addColumn<Registry::StoredValues>("stored");
    QTest::addColumn<int>("option");
    QTest::addColumn<QStringList>("bounds");

    const QStringList design = {"1", "10", "1", "10"};
    // One non-zero bound is enough to show all four; four zeros mean nothing is stored.
    QTest::newRow("-5 5 0 0") << Registry::StoredValues{3, 0, -5, 5, 0, 0, 0} << 3
                              << QStringList({"-5", "5", "0", "0"});
    QTest::newRow("0 0 0 7") << Registry::StoredValues{3, 0, 0, 0, 0, 7, 0} << 3
                             << QStringList({"0", "0", "0", "7"});
    QTest::newRow("four zeros") << Registry::StoredValues{3, 0, 0, 0, 0, 0, 0} << 3 << design;
    // Each code selects its button (the names do not follow the codes); others change nothing.
    const QList<int> buttonOfCode = {3, 2, 6, 3, 4, 5, 7, 1, 3};
    for (qint32 code : {-1, 0, 1, 2, 4, 5, 6, 7, 8}) {
        QTest::addRow("code %d", code) << Registry::StoredValues{code, 0, 0, 0, 0, 0, 0}
                                       << buttonOfCode.value(code, 3) << design;
    }
}

void StartWindowTest::restoresStoredValues()
{
    QFETCH(Registry::StoredValues, stored);
    QFETCH(int, option);
    QFETCH(QStringList, bounds);

    for (const qint32 flags : {0, 1, 5}) {
        stored.ExampleDifficult = stored.IntellectualMode = flags; // any non-zero ticks
        StoreValues(stored);
        frmStart w;
        QCOMPARE(SelectedOption(w), option);
        QCOMPARE(BoundTexts(w), bounds);
        QCOMPARE(w.Check1->isChecked(), flags != 0);
        QCOMPARE(w.Check2->isChecked(), flags != 0);
        QVERIFY(w.Check2->isEnabled());
    }
}

void StartWindowTest::startCopiesTheChoicesAndSavesOnlyForTheLoginName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("tickIntellectual");
    QTest::addColumn<bool>("saved");

    const QString login = GetLoginName();
    QTest::newRow("login name, box ticked") << login << true << true;
    QTest::newRow("login name, box clear") << login << false << true;
    QTest::newRow("other name") << QStringLiteral("Петя") << false << false;
    QTest::newRow("edited back to the login name") << QString() << false << true;
}

void StartWindowTest::startCopiesTheChoicesAndSavesOnlyForTheLoginName()
{
    QFETCH(QString, name);
    QFETCH(bool, tickIntellectual);
    QFETCH(bool, saved);

    StoreValues(kSentinel);
    frmStart w;
    if (name.isNull()) {
        TypeName(w, QStringLiteral("Петя"));
        name = GetLoginName();
    }
    TypeName(w, name);
    SetSevenTimesEight(w);
    w.Check1->setCheckState(Qt::PartiallyChecked); // a greyed box counts as ticked
    w.Check2->setChecked(tickIntellectual);
    mdMain::Settings().CalculatorSeen = true;

    ModalAnswerer pupil;
    QTest::mouseClick(w.Command1, Qt::LeftButton);

    const QuizSettings &s = mdMain::Settings();
    QCOMPARE(s.StudentName, name);
    QCOMPARE(s.Operation, Operation::Multiplication);
    QCOMPARE(QList<qint32>({s.Min1, s.Max1, s.Min2, s.Max2}), QList<qint32>({7, 7, 8, 8}));
    QVERIFY(s.Difficult);
    QCOMPARE(s.IntellectualMode, tickIntellectual);
    QVERIFY(!s.CalculatorSeen); // cleared at the start; the probe saw no calculator
    const Registry::StoredValues savedValues{3, 1, 7, 7, 8, 8, tickIntellectual};
    QCOMPARE(Values(Registry::LoadSettings()), Values(saved ? savedValues : kSentinel));
    QCOMPARE(pupil.questionCount, 12);
    QVERIFY(!w.isVisible() && w.finishWindow()->isVisible());
}

void StartWindowTest::badBoundsAreRejected_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fieldName");

    QTest::newRow("empty") << 0 << ""
                           << "Первое число, от";
    QTest::newRow("word") << 1 << "десять"
                          << "Первое число, до";
    QTest::newRow("exponent") << 2 << "1e9"
                              << "Второе число, от";
    QTest::newRow("too large") << 3 << "2147483648"
                               << "Второе число, до";
    QTest::newRow("too small") << 0 << "-2147483649"
                               << "Первое число, от";
}

void StartWindowTest::badBoundsAreRejected()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, fieldName);

    StoreValues(kSentinel);
    frmStart w;
    w.show();
    SetSevenTimesEight(w);
    const QList<QLineEdit *> fields = {w.Text1[0], w.Text2[0], w.Text1[1], w.Text2[1]};
    fields[field]->setText(text);
    if (field < 3)
        fields[3]->setText(QStringLiteral("abc")); // a later bad field waits its turn
    w.Text3->setFocus();
    mdMain::Settings() = QuizSettings{};

    ModalAnswerer pupil;
    QTest::mouseClick(w.Command1, Qt::LeftButton);

    QCOMPARE(pupil.seen.size(), 1);
    const ModalAnswerer::Seen &warning = pupil.seen.front();
    QCOMPARE(warning.icon, QMessageBox::Warning);
    QCOMPARE(warning.title, QStringLiteral("Vorpa"));
    QVERIFY2(warning.text.contains(u'«' + fieldName + u'»') &&
                 warning.text.contains(QStringLiteral("целое число от ")),
             qPrintable(warning.text));
    QCOMPARE(w.focusWidget(), fields[field]);
    QVERIFY(w.isVisible() && !w.finishWindow());
    QCOMPARE(mdMain::Settings().StudentName, QString());
    QCOMPARE(Values(Registry::LoadSettings()), Values(kSentinel));
}

void StartWindowTest::enterStartsTheQuiz()
{
    frmStart w;
    w.show();
    SetSevenTimesEight(w);
    QVERIFY(w.Command1->isDefault());
    ModalAnswerer pupil;
    QTest::keyClick(w.Text2[1], Qt::Key_Return);
    QCOMPARE(pupil.questionCount, 12);
    QVERIFY(w.finishWindow()->isVisible());
}

QTEST_MAIN(StartWindowTest)
#include "tst_windows_start.moc"
