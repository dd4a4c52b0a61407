#include "LoginName.h"
#include "ModalAnswerer.h"
#include "StoreForTests.h"
#include "Twips.h"
#include "frmFinish.h"
#include "frmStart.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <limits>

Q_DECLARE_METATYPE(Registry::StoredValues)

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();

// Stored choices that no test sets on the window, so that an overwrite shows.
Registry::StoredValues Sentinel()
{
    return Registry::StoredValues{4, 1, 3, 4, 5, 6, 1};
}

// The number in the name of the one selected option button, 0 when none is.
int SelectedOption(const frmStart &w)
{
    const std::array<QRadioButton *, 7> options = {w.Option1, w.Option2, w.Option3, w.Option4,
                                                   w.Option5, w.Option6, w.Option7};
    int selected = 0;
    for (int i = 0; i < 7; ++i) {
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
    w.Text1[0]->setText(QStringLiteral("7"));
    w.Text2[0]->setText(QStringLiteral("7"));
    w.Text1[1]->setText(QStringLiteral("8"));
    w.Text2[1]->setText(QStringLiteral("8"));
}

// The width a control has for its caption's text: a label all of it, a button what its
// indicator leaves.
int CaptionRoom(QWidget *control)
{
    auto *button = qobject_cast<QAbstractButton *>(control);
    if (!button)
        return control->contentsRect().width();
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    const QStyle::SubElement contents = qobject_cast<QRadioButton *>(button)
                                            ? QStyle::SE_RadioButtonContents
                                            : QStyle::SE_CheckBoxContents;
    return button->style()->subElementRect(contents, &option, button).width();
}

void TypeName(frmStart &w, const QString &name)
{
    w.Text3->selectAll();
    QTest::keyClick(w.Text3, Qt::Key_Delete);
    TypeText(w.Text3, name);
    QCOMPARE(w.Text3->text(), name);
}

} // namespace

// The start window: its design, what it restores, the name gate on saving, and "Начать".
class StartWindowTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void firstRunShowsTheDesignState();
    void layoutFollowsTheTwipsTable();
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

void StartWindowTest::initTestCase()
{
    PrepareWindowsTest(m_configHome);
    QVERIFY2(!GetLoginName().isEmpty(), "the tests need a login name");
}

void StartWindowTest::cleanup()
{
    QVERIFY(!QApplication::activeModalWidget());
    QVERIFY(QApplication::topLevelWidgets().isEmpty());
}

// Runs first, while the store is still empty.
void StartWindowTest::firstRunShowsTheDesignState()
{
    QCOMPARE(Registry::LoadSettings(), Registry::StoredValues{});
    frmStart w;

    QCOMPARE(w.Text3->text(), GetLoginName());
    QCOMPARE(SelectedOption(w), 3);
    QCOMPARE(BoundTexts(w), QStringList({"1", "10", "1", "10"}));
    QCOMPARE(w.Check1->checkState(), Qt::Unchecked);
    QCOMPARE(w.Check2->checkState(), Qt::Unchecked);
    QVERIFY(w.Check2->isEnabled());
    QVERIFY(w.Command1->isDefault());
    QCOMPARE(w.windowTitle(), QStringLiteral("Обучающие примеры"));
    QVERIFY(!w.windowIcon().isNull());
    QVERIFY(!w.Command2->icon().isNull());
    QVERIFY(w.Command2->text().isEmpty());

    // Loading reads the store; it never writes it.
    QCOMPARE(Registry::LoadSettings(), Registry::StoredValues{});
}

void StartWindowTest::layoutFollowsTheTwipsTable()
{
    frmStart w;
    const qreal dpiX = w.logicalDpiX();
    const qreal dpiY = w.logicalDpiY();
    QCOMPARE(w.size(), QSize(TwipsToPixels(6615, dpiX), TwipsToPixels(3750, dpiY)));

    struct Control
    {
        QWidget *widget;
        QWidget *container;
        QString caption;
        QList<int> twips;
    };
    const auto captionOf = [](QWidget *widget) {
        if (auto *button = qobject_cast<QAbstractButton *>(widget))
            return button->text();
        if (auto *label = qobject_cast<QLabel *>(widget))
            return label->text();
        if (auto *edit = qobject_cast<QLineEdit *>(widget))
            return edit->text();
        return qobject_cast<QGroupBox *>(widget)->title();
    };
    const QString name = GetLoginName();
    const QList<Control> table = {
        {w.Frame1, &w, "Тип примеров", {120, 120, 3135, 3495}},
        {w.Frame2, &w, "Параметры", {3360, 120, 3135, 2895}},
        {w.Command1, &w, "Начать", {5280, 3240, 1215, 375}},
        {w.Command2, &w, "", {3360, 3225, 405, 390}},
        {w.Option2, w.Frame1, "Сложение", {240, 360, 2535, 255}},
        {w.Option6, w.Frame1, "Вычитание", {240, 720, 2535, 255}},
        {w.Option3, w.Frame1, "Умножение", {240, 1080, 2535, 255}},
        {w.Option4, w.Frame1, "Деление", {240, 1440, 2535, 255}},
        {w.Option5, w.Frame1, "Остаток от деления", {240, 1800, 2535, 255}},
        {w.Option7, w.Frame1, "Возведение в степень", {240, 2160, 2535, 255}},
        {w.Option1, w.Frame1, "Логарифмирование", {240, 2520, 2055, 255}},
        {w.Check1, w.Frame1, "Сложные примеры", {240, 3000, 1935, 255}},
        {w.Label1[0], w.Frame2, "Первое число", {240, 360, 1050, 195}},
        {w.Label2[0], w.Frame2, "от", {480, 660, 165, 195}},
        {w.Text1[0], w.Frame2, "1", {720, 615, 735, 285}},
        {w.Label3[0], w.Frame2, "до", {1695, 645, 180, 195}},
        {w.Text2[0], w.Frame2, "10", {1950, 615, 735, 285}},
        {w.Label1[1], w.Frame2, "Второе число", {240, 1080, 1020, 195}},
        {w.Label2[1], w.Frame2, "от", {480, 1380, 165, 195}},
        {w.Text1[1], w.Frame2, "1", {720, 1335, 735, 285}},
        {w.Label3[1], w.Frame2, "до", {1695, 1365, 180, 195}},
        {w.Text2[1], w.Frame2, "10", {1950, 1335, 735, 285}},
        {w.Label4, w.Frame2, "Имя:", {240, 1920, 375, 195}},
        {w.Text3, w.Frame2, name, {840, 1860, 1815, 285}},
        {w.Check2, w.Frame2, "Интеллектуальный режим", {240, 2400, 2775, 255}},
    };
    for (const Control &c : table) {
        QCOMPARE(c.widget->parentWidget(), c.container);
        QCOMPARE(captionOf(c.widget), c.caption);
        const QList<int> &t = c.twips;
        const QRect design = TwipsToRect(t[0], t[1], t[2], t[3], dpiX, dpiY);
        const QRect actual = c.widget->geometry();
        const bool captioned = qobject_cast<QLabel *>(c.widget) ||
                               qobject_cast<QRadioButton *>(c.widget) ||
                               qobject_cast<QCheckBox *>(c.widget);
        if (!captioned) {
            QCOMPARE(actual, design);
            continue;
        }
        // A caption that the default font makes wider than its box widens the box in place,
        // without leaving the container; none is cut off.
        QCOMPARE(actual.topLeft(), design.topLeft());
        QVERIFY(actual.width() >= design.width() && actual.height() >= design.height());
        QVERIFY2(CaptionRoom(c.widget) >= c.widget->fontMetrics().horizontalAdvance(c.caption),
                 qPrintable(c.caption));
        QVERIFY(actual.height() >= c.widget->fontMetrics().height());
        QVERIFY(c.container->rect().contains(actual));
    }

    // Tab walks the controls in the order of their tab indices; frames and labels take no
    // focus.
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
    QVERIFY(!w.Check2->isChecked());
    QVERIFY(!w.Check2->isEnabled());

    // The comparison is exact: the same letters in another case are another name.
    const QString otherCase = login.toUpper() != login ? login.toUpper() : login.toLower();
    if (otherCase != login) {
        TypeName(w, otherCase);
        QVERIFY(!w.Check2->isEnabled());
    }
    TypeName(w, login + u' ');
    QVERIFY(!w.Check2->isEnabled());

    // Back on the login name the box may be used again, but stays clear.
    TypeName(w, login);
    QVERIFY(w.Check2->isEnabled());
    QVERIFY(!w.Check2->isChecked());

    // Any edit clears it, also one that ends on the login name.
    w.Check2->setChecked(true);
    w.Text3->end(false);
    QTest::keyClick(w.Text3, Qt::Key_Backspace);
    TypeText(w.Text3, login.right(1));
    QCOMPARE(w.Text3->text(), login);
    QVERIFY(w.Check2->isEnabled());
    QVERIFY(!w.Check2->isChecked());

    // A change made by the program counts as well.
    w.Check2->setChecked(true);
    w.Text3->setText(QStringLiteral("Маша"));
    QVERIFY(!w.Check2->isChecked());
    QVERIFY(!w.Check2->isEnabled());
}

void StartWindowTest::restoresStoredValues_data()
{
    QTest::addColumn<Registry::StoredValues>("stored");
    QTest::addColumn<int>("option");
    QTest::addColumn<QStringList>("bounds");
    QTest::addColumn<bool>("difficult");
    QTest::addColumn<bool>("intellectual");

    const QStringList design = {"1", "10", "1", "10"};
    const auto row = [](const char *name, Registry::StoredValues stored, int option,
                        QStringList bounds, bool difficult, bool intellectual) {
        QTest::newRow(name) << stored << option << bounds << difficult << intellectual;
    };
    // One non-zero bound is enough to show all four; four zeros mean nothing is stored.
    row("bounds -5 5 0 0", {3, 0, -5, 5, 0, 0, 0}, 3, {"-5", "5", "0", "0"}, false, false);
    row("only the last bound", {3, 0, 0, 0, 0, 7, 0}, 3, {"0", "0", "0", "7"}, false, false);
    row("four zeros", {3, 0, 0, 0, 0, 0, 0}, 3, design, false, false);
    row("extremes", {3, 0, kMin, kMax, kMax, kMin, 0}, 3,
        {"-2147483648", "2147483647", "2147483647", "-2147483648"}, false, false);
    // Each stored kind selects its button; codes outside 1 to 7 leave the design's choice.
    row("addition", {1, 0, 0, 0, 0, 0, 0}, 2, design, false, false);
    row("subtraction", {2, 0, 0, 0, 0, 0, 0}, 6, design, false, false);
    row("division", {4, 0, 0, 0, 0, 0, 0}, 4, design, false, false);
    row("remainder", {5, 0, 0, 0, 0, 0, 0}, 5, design, false, false);
    row("power", {6, 0, 0, 0, 0, 0, 0}, 7, design, false, false);
    row("logarithm", {7, 0, 0, 0, 0, 0, 0}, 1, design, false, false);
    row("code 0", {0, 0, 0, 0, 0, 0, 0}, 3, design, false, false);
    row("code 8", {8, 0, 0, 0, 0, 0, 0}, 3, design, false, false);
    row("code -1", {-1, 0, 0, 0, 0, 0, 0}, 3, design, false, false);
    // Any non-zero flag ticks its box.
    row("difficult", {3, 1, 0, 0, 0, 0, 0}, 3, design, true, false);
    row("difficult 5", {3, 5, 0, 0, 0, 0, 0}, 3, design, true, false);
    row("intellectual", {3, 0, 0, 0, 0, 0, 1}, 3, design, false, true);
    row("everything", {6, 1, 2, 3, -4, 5, 1}, 7, {"2", "3", "-4", "5"}, true, true);
}

void StartWindowTest::restoresStoredValues()
{
    QFETCH(Registry::StoredValues, stored);
    QFETCH(int, option);
    QFETCH(QStringList, bounds);
    QFETCH(bool, difficult);
    QFETCH(bool, intellectual);

    StoreValues(stored);
    frmStart w;
    QCOMPARE(SelectedOption(w), option);
    QCOMPARE(BoundTexts(w), bounds);
    QCOMPARE(w.Check1->isChecked(), difficult);
    QCOMPARE(w.Check2->isChecked(), intellectual);
    QVERIFY(w.Check2->isEnabled());
    QCOMPARE(w.Text3->text(), GetLoginName());
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
    QTest::newRow("login name in capitals")
        << login.toUpper() << false << (login.toUpper() == login);
    QTest::newRow("edited back to the login name") << QString() << false << true;
}

void StartWindowTest::startCopiesTheChoicesAndSavesOnlyForTheLoginName()
{
    QFETCH(QString, name);
    QFETCH(bool, tickIntellectual);
    QFETCH(bool, saved);

    StoreValues(Sentinel());
    frmStart w;
    const QString login = GetLoginName();
    if (name.isNull()) {
        TypeName(w, QStringLiteral("Петя"));
        TypeName(w, login);
        name = login;
    } else if (name != login) {
        TypeName(w, name);
    }
    SetSevenTimesEight(w);
    w.Check1->setCheckState(Qt::PartiallyChecked); // a greyed box counts as ticked
    w.Check2->setChecked(tickIntellectual);
    mdMain::Settings().CalculatorSeen = true;

    ModalAnswerer pupil;
    pupil.answer = [](int, const QString &) { return QStringLiteral("56"); };
    QTest::mouseClick(w.Command1, Qt::LeftButton);

    const QuizSettings &s = mdMain::Settings();
    QCOMPARE(s.StudentName, name);
    QCOMPARE(s.Operation, Operation::Multiplication);
    QCOMPARE(QList<qint32>({s.Min1, s.Max1, s.Min2, s.Max2}), QList<qint32>({7, 7, 8, 8}));
    QVERIFY(s.Difficult);
    QCOMPARE(s.IntellectualMode, tickIntellectual);
    QVERIFY(!s.CalculatorSeen); // cleared by the start, and no calculator was seen

    const Registry::StoredValues expected =
        saved ? Registry::StoredValues{3, 1, 7, 7, 8, 8, tickIntellectual ? 1 : 0} : Sentinel();
    QCOMPARE(Registry::LoadSettings(), expected);

    QCOMPARE(pupil.questions().size(), 12);
    QVERIFY(!w.isVisible());
    QVERIFY(w.finishWindow() && w.finishWindow()->isVisible());
}

void StartWindowTest::badBoundsAreRejected_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("fieldName");

    QTest::newRow("empty first from") << 0 << QString() << "Первое число, от";
    QTest::newRow("word in first to") << 1 << QStringLiteral("десять") << "Первое число, до";
    QTest::newRow("exponent in second from") << 2 << QStringLiteral("1e9") << "Второе число, от";
    QTest::newRow("too large second to") << 3 << QStringLiteral("2147483648") << "Второе число, до";
    QTest::newRow("too small first from")
        << 0 << QStringLiteral("-2147483649") << "Первое число, от";
    QTest::newRow("inf second to") << 3 << QStringLiteral("inf") << "Второе число, до";
}

void StartWindowTest::badBoundsAreRejected()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(QString, fieldName);

    StoreValues(Sentinel());
    frmStart w;
    w.show();
    SetSevenTimesEight(w);
    const std::array<QLineEdit *, 4> fields = {w.Text1[0], w.Text2[0], w.Text1[1], w.Text2[1]};
    fields[field]->setText(text);
    // A later bad field waits its turn: the first one in reading order is named.
    if (field < 3)
        fields[3]->setText(QStringLiteral("abc"));
    w.Text3->setFocus();
    mdMain::Settings() = QuizSettings{};

    ModalAnswerer pupil;
    QTest::mouseClick(w.Command1, Qt::LeftButton);

    QCOMPARE(pupil.seen.size(), 1);
    const ModalAnswerer::Seen warning = pupil.seen.front();
    QVERIFY(!warning.question);
    QCOMPARE(warning.icon, QMessageBox::Warning);
    QCOMPARE(warning.title, QStringLiteral("Vorpa"));
    QVERIFY2(warning.text.contains(u'«' + fieldName + u'»'), qPrintable(warning.text));
    QVERIFY2(warning.text.contains(QStringLiteral("целое число от ")), qPrintable(warning.text));
    QCOMPARE(warning.buttons, QStringList{QStringLiteral("OK")});

    QCOMPARE(w.focusWidget(), fields[field]);
    QVERIFY(w.isVisible());
    QVERIFY(!w.finishWindow());
    QCOMPARE(mdMain::Settings().StudentName, QString());
    QCOMPARE(Registry::LoadSettings(), Sentinel());
}

void StartWindowTest::enterStartsTheQuiz()
{
    frmStart w;
    w.show();
    SetSevenTimesEight(w);
    w.Text3->setFocus();

    ModalAnswerer pupil;
    pupil.answer = [](int, const QString &) { return QStringLiteral("56"); };
    QTest::keyClick(w.Text2[1], Qt::Key_Return);

    QCOMPARE(pupil.questions().size(), 12);
    QVERIFY(w.finishWindow() && w.finishWindow()->isVisible());
}

QTEST_MAIN(StartWindowTest)
#include "tst_windows_start.moc"
