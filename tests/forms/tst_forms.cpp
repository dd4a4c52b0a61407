#include "Fakes.h"
#include "LoginName.h"
#include "QtQuizDialogs.h"
#include "frmFinish.h"
#include "frmStart.h"
#include "mdMain.h"

#include <QtTest>
#include <QtWidgets>

#include <algorithm>
#include <functional>
#include <vector>

#include <sys/stat.h>

namespace {

// Types key by key, also letters that QTest::keyClicks cannot turn into keys.
void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// A label's text as it shows on the screen, as a screen reader reads it: markup is rendered,
// plain text stands as it is.
QString Displayed(QLabel *label)
{
    return QAccessible::queryAccessibleInterface(label)->text(QAccessible::Name);
}

// Answers modal dialogs as a pupil would (a null answer presses Cancel) and records each as
// "title|default|prompt" or "icon|title|text"; polls, as the dialogs run their own event loops.
class ModalAnswerer final : public QObject
{
  public:
    std::function<QString(int n)> answer = [](int) { return QStringLiteral("56"); }; // n from 1
    QStringList dialogs;
    int questions = 0;

    ModalAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *input = qobject_cast<QInputDialog *>(modal)) {
                dialogs << input->windowTitle() + u'|' + input->textValue() + u'|' +
                               input->labelText();
                const QString text = answer(++questions);
                auto *edit = input->findChild<QLineEdit *>();
                edit->selectAll();
                TypeText(edit, text);
                if (text.isEmpty() && !text.isNull())
                    QTest::keyClick(edit, Qt::Key_Backspace); // clears the field; Cancel keeps it
                input->findChild<QDialogButtonBox *>()
                    ->button(text.isNull() ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)
                    ->click();
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                dialogs << QLatin1String(
                               QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon())) +
                               u'|' + box->windowTitle() + u'|' +
                               Displayed(
                                   box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")));
                box->button(QMessageBox::Ok)->click();
            }
        });
        m_timer.start(2);
    }

  private:
    QTimer m_timer;
};

// The real dialogs, except that ending the program only sets a flag.
struct NoExitDialogs final : QtQuizDialogs
{
    bool ended = false;
    void EndProgram() override { ended = true; }
};

QString StoreFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quorvantelle/Vorpa.conf");
}

// What the settings file holds as its "name=value" lines in sorted order.
QString Stored()
{
    QFile file(StoreFile());
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("nothing");
    QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n').filter(u"=");
    lines.sort();
    return lines.join(u' ');
}

// Writes the file by hand, also with values the program itself never writes.
void Store(const QString &values)
{
    QVERIFY(QDir().mkpath(QFileInfo(StoreFile()).path()));
    QFile file(StoreFile());
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[General]\n" + QString(values).replace(u' ', u'\n').toUtf8() + '\n');
}

// The selected kind of example, the two ranges, then D and I for the ticked boxes.
QString Shown(const frmStart &w)
{
    QString button;
    for (const QRadioButton *option : w.Frame1->findChildren<QRadioButton *>()) {
        if (option->isChecked())
            button = option->text();
    }
    return QStringLiteral("%1 %2..%3 %4..%5%6%7")
        .arg(button, w.Text1[0]->text(), w.Text2[0]->text(), w.Text1[1]->text(), w.Text2[1]->text(),
             w.Check1->isChecked() ? QStringLiteral(" D") : QString(),
             w.Check2->isChecked() ? QStringLiteral(" I") : QString());
}

// The four bound fields in the order they are read: Text1(0), Text2(0), Text1(1), Text2(1).
QList<QLineEdit *> BoundFields(const frmStart &w)
{
    return {w.Text1[0], w.Text2[0], w.Text1[1], w.Text2[1]};
}

// A control of the start window with its place in twips (left, top, width, height in its
// container) and its tab index.
struct ControlDesign
{
    QWidget *control;
    QRect twips;
    int tabIndex;
};

std::vector<ControlDesign> StartWindowDesign(const frmStart &w)
{
    return {
        {w.Frame1, {120, 120, 3135, 3495}, 15},    {w.Frame2, {3360, 120, 3135, 2895}, 16},
        {w.Command1, {5280, 3240, 1215, 375}, 14}, {w.Command2, {3360, 3225, 405, 390}, 24},
        {w.Option2, {240, 360, 2535, 255}, 0},     {w.Option6, {240, 720, 2535, 255}, 1},
        {w.Option3, {240, 1080, 2535, 255}, 2},    {w.Option4, {240, 1440, 2535, 255}, 3},
        {w.Option5, {240, 1800, 2535, 255}, 4},    {w.Option7, {240, 2160, 2535, 255}, 5},
        {w.Option1, {240, 2520, 2055, 255}, 6},    {w.Check1, {240, 3000, 1935, 255}, 7},
        {w.Label1[0], {240, 360, 1050, 195}, 17},  {w.Label2[0], {480, 660, 165, 195}, 18},
        {w.Text1[0], {720, 615, 735, 285}, 8},     {w.Label3[0], {1695, 645, 180, 195}, 19},
        {w.Text2[0], {1950, 615, 735, 285}, 9},    {w.Label1[1], {240, 1080, 1020, 195}, 20},
        {w.Label2[1], {480, 1380, 165, 195}, 21},  {w.Text1[1], {720, 1335, 735, 285}, 10},
        {w.Label3[1], {1695, 1365, 180, 195}, 22}, {w.Text2[1], {1950, 1335, 735, 285}, 11},
        {w.Label4, {240, 1920, 375, 195}, 23},     {w.Text3, {840, 1860, 1815, 285}, 12},
        {w.Check2, {240, 2400, 2775, 255}, 13},
    };
}

// Stored choices with the code and the intellectual flag to fill in; none is the window's default.
const QString kStored = QStringLiteral("ExampleDifficult=1 ExampleMax1=2 ExampleMax2=8 "
                                       "ExampleMin1=2 ExampleMin2=8 ExampleType=%1 "
                                       "IntellectualMode=%2");
const QString kRightBox = QStringLiteral("Information|Молодец|Правильно");
const QString kFieldNames[] = {"Первое число, от", "Первое число, до", "Второе число, от",
                               "Второе число, до"};

} // namespace

class FormsTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    // A store of the test's own, a quiet probe, no offscreen complaint about every dialog.
    void initTestCase()
    {
        static const QtMessageHandler next = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
                if (!message.contains(QLatin1String("propagateSizeHints")))
                    next(type, context, message);
            });
        // The font of a bare X server, whichever sans-serif font the machine prefers.
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        umask(022); // the store uses only folders no one else may write to
        QVERIFY(m_configHome.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
        mdMain::UseCalculatorProbe(std::make_unique<FakeCalculatorProbe>());
        auto dialogs = std::make_unique<NoExitDialogs>();
        m_dialogs = dialogs.get();
        mdMain::UseDialogs(std::move(dialogs));
    }
    void cleanup()
    {
        m_dialogs->ended = false;
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void restoresStoredValues_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        const auto row = [](const char *name, const char *stored, const char *shown) {
            QTest::newRow(name) << QString(stored) << QString(shown);
        };
        row("nothing stored", "", "Умножение 1..10 1..10");
        row("code 7",
            "ExampleType=7 ExampleDifficult=5 ExampleMin1=-5 ExampleMax1=5 "
            "IntellectualMode=0",
            "Логарифмирование -5..5 0..0 D");
        row("code 8", "ExampleType=8 ExampleMax2=7 IntellectualMode=1", "Умножение 0..0 0..7 I");
        row("code 0", "ExampleType=0 ExampleDifficult=1 IntellectualMode=2",
            "Умножение 1..10 1..10 D I");
        // written by hand with a sign: shown as plain numbers; one that cannot be read is 0
        row("signs", "ExampleType=+4 ExampleMin1=+5 ExampleMax1=-5 ExampleMin2=-0 ExampleMax2=+-7",
            "Деление 5..-5 0..0");
        row("256 and 1024",
            "ExampleType=2 ExampleMin1=256 ExampleMax1=1024 ExampleMin2=-1024 "
            "ExampleMax2=256",
            "Вычитание 256..1024 -1024..256");
    }

    // A code outside 1..7 leaves multiplication, a non-zero flag ticks its own box, the stored
    // bounds land in their own fields; the window is centred, with the login name.
    void restoresStoredValues()
    {
        QFETCH(QString, stored);
        Store(stored);
        frmStart w;
        QTEST(Shown(w), "shown");
        QVERIFY(w.Check2->isEnabled() && w.Text3->text() == GetLoginName());
        const QPoint off = w.geometry().center() - w.screen()->availableGeometry().center();
        QVERIFY(off.manhattanLength() <= 2);
    }

    // Every control where its twips put it, at the offscreen screen's 96 DPI: an edge at t twips
    // lies at t * 96 / 1440 pixels, rounded (all the edges here fall on whole pixels). In a font
    // as small as the one the layout was drawn for every rectangle is exact; in the default font
    // a control whose caption needs more room keeps its place and grows only within its frame.
    void controlsWhereTheirTwipsPutThem()
    {
        const auto px = [](int twips) { return qRound(twips * 96 / 1440.0); };
        const auto pixels = [&](const QRect &twips) {
            return QRect(
                QPoint(px(twips.left()), px(twips.top())),
                QPoint(px(twips.left() + twips.width()) - 1, px(twips.top() + twips.height()) - 1));
        };
        const QFont defaultFont = QApplication::font();
        const auto restoreFont = qScopeGuard([&] { QApplication::setFont(defaultFont); });
        for (const bool smallFont : {true, false}) {
            QApplication::setFont(smallFont ? QFont(defaultFont.family(), 6) : defaultFont);
            frmStart w;
            QCOMPARE(QSize(w.logicalDpiX(), w.logicalDpiY()), QSize(96, 96));
            QCOMPARE(w.minimumSize(), QSize(px(6615), px(3750)));
            QCOMPARE(w.maximumSize(), QSize(px(6615), px(3750)));
            for (const auto &[control, twips, tabIndex] : StartWindowDesign(w)) {
                const QRect expected = pixels(twips);
                const QRect r = control->geometry();
                // The twips name the control in a failure.
                QCOMPARE(std::pair(twips, smallFont ? r : QRect(r.topLeft(), expected.size())),
                         std::pair(twips, expected));
                QVERIFY(r.width() >= expected.width() && r.height() >= expected.height());
                QVERIFY(control->parentWidget()->contentsRect().contains(r));
            }
        }

        frmFinish f;
        QCOMPARE(f.minimumSize(), QSize(px(4815), px(3015)));
        QCOMPARE(f.maximumSize(), QSize(px(4815), px(3015)));
        const std::pair<QLabel *, QRect> labels[] = {
            {f.Label1, {240, 240, 4335, 495}},     {f.Label3, {120, 840, 4575, 255}},
            {f.Label2, {120, 1320, 4575, 255}},    {f.Label5, {120, 1680, 4575, 255}},
            {f.Label4[0], {240, 2160, 4335, 735}}, {f.Label4[1], {240, 2160, 4335, 735}},
        };
        for (const auto &[label, twips] : labels)
            QCOMPARE(std::pair(twips, label->geometry()), std::pair(twips, pixels(twips)));

        // The banner's text centred across and at the top: the capital Т starts its cap height
        // below the font's ascent, as wide a margin left as right.
        const QImage banner = f.Label4[0]->grab().toImage();
        const QRgb ground = banner.pixel(0, 0);
        QRect ink;
        for (int y = 0; y < banner.height(); ++y) {
            for (int x = 0; x < banner.width(); ++x) {
                if (banner.pixel(x, y) != ground)
                    ink |= QRect(x, y, 1, 1);
            }
        }
        const QFontMetrics metrics = f.Label4[0]->fontMetrics();
        QVERIFY2(qAbs(ink.top() - (metrics.ascent() - metrics.capHeight())) <= 1,
                 qPrintable(QString::number(ink.top())));
        QVERIFY(qAbs(ink.left() - (banner.width() - 1 - ink.right())) <= 2);
    }

    // Tab follows the tab indexes among the controls that take the focus (the frames and labels
    // take none). Qt makes the option buttons of one frame a single stop, moved through with the
    // arrow keys, so the keys are pressed from Check1 on, round to the first option button.
    void tabFollowsTheTabIndexes()
    {
        Store(kStored.arg(2).arg(1)); // "Вычитание"
        frmStart w;
        std::vector<ControlDesign> design = StartWindowDesign(w);
        std::ranges::sort(design, {}, &ControlDesign::tabIndex);
        QList<QWidget *> order;
        for (const ControlDesign &c : design) {
            if (c.control->focusPolicy() & Qt::TabFocus)
                order << c.control;
        }
        QCOMPARE(order.size(), 16);
        QList<QWidget *> chain = {order.first()};
        for (QWidget *c = chain.last()->nextInFocusChain(); c != order.first();
             c = c->nextInFocusChain()) {
            if (c->focusPolicy() & Qt::TabFocus)
                chain << c;
        }
        QCOMPARE(chain, order);

        // Entering the option group by Tab or Shift+Tab lands on the selected option.
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.Check1->setFocus();
        QList<QWidget *> visited;
        for (qsizetype i = order.indexOf(w.Check1); i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget();
        }
        QCOMPARE(visited, order.mid(order.indexOf(w.Check1) + 1) << w.Option6);
        QTest::keyClick(w.Option6, Qt::Key_Tab);
        QTest::keyClick(w.Check1, Qt::Key_Backtab);
        QCOMPARE(QApplication::focusWidget(), w.Option6);
    }

    // The focus starts on the selected option, the restored one, so Space asks nothing; Tab from
    // the stopwatch enters the group on the option picked since, and Space there keeps it.
    void focusStartsOnTheSelectedOption()
    {
        Store(kStored.arg(5).arg(1));
        frmStart w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), w.Option5);
        ModalAnswerer pupil;
        pupil.answer = [](int) { return QString(); };
        QTest::keyClick(w.Option5, Qt::Key_Space);
        QVERIFY(pupil.dialogs.isEmpty() && !w.finishWindow());
        QTest::mouseClick(w.Option7, Qt::LeftButton);
        w.Command2->setFocus();
        QTest::keyClick(w.Command2, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(pupil.dialogs.value(0), QStringLiteral("Вопрос №1|0|Возведи 2 в степень 8."));
    }

    // Four zero bounds are saved as they stand, yet the next start shows "1", "10", "1", "10":
    // to the window four zeros mean that nothing is stored.
    void zeroBoundsSavedButNotShown()
    {
        Store(kStored.arg(2).arg(1));
        {
            frmStart w;
            for (QLineEdit *field : BoundFields(w))
                field->setText(QStringLiteral("0"));
            ModalAnswerer pupil;
            pupil.answer = [](int) { return QString(); };
            QTest::mouseClick(w.Command1, Qt::LeftButton);
            QVERIFY(m_dialogs->ended);
        }
        QCOMPARE(Stored(), QStringLiteral("ExampleDifficult=1 ExampleMax1=0 ExampleMax2=0 "
                                          "ExampleMin1=0 ExampleMin2=0 ExampleType=2 "
                                          "IntellectualMode=1"));
        QCOMPARE(Shown(frmStart()), QStringLiteral("Вычитание 1..10 1..10 D I"));
    }

    void startSavesAndAsks_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("question");
        QTest::addColumn<QStringList>("names");    // typed one after the other
        QTest::addColumn<QString>("intellectual"); // as saved; empty when nothing is saved
        const auto row = [](const char *name, const char *button, int code, const char *question,
                            const QStringList &names = {}, const char *intellectual = "1") {
            QTest::newRow(name) << button << code << question << names << intellectual;
        };
        row("1", "Сложение", 1, "Сколько будет 2 плюс 8?");
        row("2", "Вычитание", 2, "Сколько будет 2 минус 8?");
        row("3", "Умножение", 3, "Сколько будет 2 умножить на 8?");
        row("4", "Деление", 4, "Какая целая часть при делении 2 на 8?");
        row("5", "Остаток от деления", 5, "Найди остаток при делении 2 на 8.");
        row("6", "Возведение в степень", 6, "Возведи 2 в степень 8.");
        row("7", "Логарифмирование", 7, "Найди целую часть логарифма по основанию 2 от числа 8.");
        const QString login = GetLoginName();
        const QString otherCase = login.toUpper() != login ? login.toUpper() : login.toLower();
        const char *times = "Сколько будет 2 умножить на 8?";
        row("other name, as markup", "Умножение", 3, times, {"<s>Петя</s>"}, "");
        if (otherCase != login)
            row("other case", "Умножение", 3, times, {otherCase}, "");
        row("trailing blank", "Умножение", 3, times, {login + u' '}, "");
        row("back to the login name", "Умножение", 3, times, {"Петя", login}, "0");
    }

    // The stored code ticks its button; picked after another code was stored, it is saved before
    // the first question (only under the login name) and the questions are of its kind. The pupil
    // leaves at once: with Cancel, or after a name change with OK on a cleared field.
    void startSavesAndAsks()
    {
        QFETCH(QString, button);
        QFETCH(int, code);
        QFETCH(QString, question);
        QFETCH(QStringList, names);
        QFETCH(QString, intellectual);
        Store(kStored.arg(code).arg(1));
        QCOMPARE(Shown(frmStart()), button + QStringLiteral(" 2..2 8..8 D I"));
        Store(kStored.arg(code % 7 + 1).arg(1));
        frmStart w;
        QRadioButton *picked = nullptr;
        for (QRadioButton *option : w.Frame1->findChildren<QRadioButton *>()) {
            if (option->text() == button)
                picked = option;
        }
        picked->click();
        for (const QString &name : names) {
            w.Text3->selectAll();
            TypeText(w.Text3, name.chopped(1));
            w.Check2->setChecked(true);
            TypeText(w.Text3, name.right(1)); // every edit clears the box, also the last one
            QVERIFY(!w.Check2->isChecked());
            QCOMPARE(w.Check2->isEnabled(), name == GetLoginName());
        }
        mdMain::Settings().CalculatorSeen = true;

        QString storedWhenAsked;
        ModalAnswerer pupil;
        pupil.answer = [&](int) {
            storedWhenAsked = Stored();
            return names.isEmpty() ? QString() : QStringLiteral("");
        };
        // Both Enter keys press "Начать": the keypad's on the option button just picked (even
        // codes), the main one in the name field.
        if (code % 2 == 0)
            QTest::keyClick(picked, Qt::Key_Enter, Qt::KeypadModifier);
        else
            QTest::keyClick(w.Text3, Qt::Key_Return);
        QCOMPARE(pupil.dialogs,
                 QStringList({QStringLiteral("Вопрос №1|0|") + question,
                              QStringLiteral("Warning||%1, ты не прошёл тест")
                                  .arg(names.isEmpty() ? GetLoginName() : names.last())}));
        QVERIFY(m_dialogs->ended && !w.isVisible() && !w.finishWindow()->isVisible());
        QVERIFY(!mdMain::Settings().CalculatorSeen); // cleared at the start
        QCOMPARE(storedWhenAsked, intellectual.isEmpty() ? kStored.arg(code % 7 + 1).arg(1)
                                                         : kStored.arg(code).arg(intellectual));
    }

    void badBoundsAreRejected_data()
    {
        QTest::addColumn<QString>("locale"); // empty for the system's, under which CTest runs
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("named");
        QTest::addColumn<QString>("limits"); // empty for the system's
        QTest::newRow("first empty") << "" << 0 << "" << 0 << "";
        QTest::newRow("second a word") << "" << 1 << "десять" << 1 << "";
        QTest::newRow("third with an exponent") << "" << 2 << "1e9" << 2 << "";
        QTest::newRow("fourth too large") << "" << 3 << "2147483648" << 3 << "";
        QTest::newRow("hi_IN") << "hi_IN" << 0 << "1,00,000" << 3
                               << "-2,14,74,83,648 до 2,14,74,83,647";
    }

    // The warning names the first bad field ("abc" stands in the last one), focused, with the
    // limits as the locale writes them; Enter on the stopwatch does nothing.
    void badBoundsAreRejected()
    {
        QFETCH(QString, locale);
        QFETCH(int, field);
        QFETCH(QString, text);
        QFETCH(int, named);
        QFETCH(QString, limits);
        if (limits.isEmpty())
            limits = QLocale().language() == QLocale::Russian
                         ? QStringLiteral(
                               "-2\u00A0147\u00A0483\u00A0648 до 2\u00A0147\u00A0483\u00A0647")
                         : QStringLiteral("-2,147,483,648 до 2,147,483,647");
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        QLocale::setDefault(locale.isEmpty() ? QLocale::system() : QLocale(locale));
        Store(kStored.arg(4).arg(1));
        frmStart w;
        w.show();
        const QList<QLineEdit *> fields = BoundFields(w);
        fields[3]->setText(QStringLiteral("abc"));
        fields[field]->setText(text);
        ModalAnswerer pupil;
        w.Command2->setFocus();
        QTest::keyClick(w.Command2, Qt::Key_Return);
        QTest::keyClick(w.Command2, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(pupil.dialogs.size(), 0);
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(pupil.dialogs, QStringList(QStringLiteral("Warning|Vorpa|В поле «%1» нужно "
                                                           "написать целое число от %2.")
                                                .arg(kFieldNames[named], limits)));
        QCOMPARE(w.focusWidget(), fields[named]);
        QVERIFY(w.isVisible() && !w.finishWindow());
        QCOMPARE(Stored(), kStored.arg(4).arg(1));
    }

    void wholeRun_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<QString>("banner");
        QTest::addColumn<QString>("countText");
        QTest::addColumn<bool>("configWritable");
        QTest::addColumn<QString>("name"); // empty for the login name
        QTest::newRow("12 right") << 12 << "Ты прошёл тест"
                                  << "Ты ответил правильно на все вопросы" << true << "";
        QTest::newRow("10 right, a name in markup") << 10 << "Ты прошёл тест"
                                                    << "Ты правильно ответил на 10 вопросов" << true
                                                    << "<s>Петя</s><img src=\"petya.png\">";
        QTest::newRow("9 right, 54 letters")
            << 9 << "Ты не прошёл тест"
            << "Ты правильно ответил на 9 вопросов" << true
            << "Александра Константиновна Преображенская-Преображенская";
        QTest::newRow("0 right, config folder unwritable, 111 letters")
            << 0 << "Ты не прошёл тест"
            << "Ты не ответил верно ни на один вопрос" << false
            << QString("Александра Константиновна Преображенская-Преображенская ").repeated(2);
    }

    // Seven times nine with a calculator open; ends by closing the results window.
    void wholeRun()
    {
        QFETCH(int, right);
        QFETCH(QString, banner);
        QFETCH(bool, configWritable);
        QFETCH(QString, name);
        auto probe = std::make_unique<FakeCalculatorProbe>();
        probe->answers = {true};
        mdMain::UseCalculatorProbe(std::move(probe));
        QFile::remove(StoreFile());
        frmStart w;
        // Blanks around a bound do not count; 9..8 is the range 9..9.
        const QStringList bounds = {"7", "\t7 ", "9", "8"};
        for (int i = 0; i < 4; ++i)
            BoundFields(w)[i]->setText(bounds[i]);
        if (!name.isEmpty())
            w.Text3->setText(name);
        // A regular file where the config folder belongs stops the save, even for root.
        const QString blocked = m_configHome.filePath(QStringLiteral("blocked"));
        if (!configWritable) {
            QVERIFY(QFile(blocked).open(QIODevice::WriteOnly));
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocked + QStringLiteral("/config")));
        }
        const auto restoreConfig = qScopeGuard([&] {
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
            QFile::remove(blocked);
        });
        ModalAnswerer pupil;
        pupil.answer = [right](int n) { return QString::number(n <= right ? 63 : 62); };
        w.show();
        QTest::mouseClick(w.Command1, Qt::LeftButton);

        QCOMPARE(pupil.dialogs.size(), 24); // a verdict after each question
        QCOMPARE(pupil.dialogs[0], QStringLiteral("Вопрос №1|0|Сколько будет 7 умножить на 9?"));
        QCOMPARE(pupil.dialogs.count(kRightBox), right);
        QCOMPARE(pupil.dialogs.count(QStringLiteral("Critical|7·9=63|Ошибка")), 12 - right);
        frmFinish *f = w.finishWindow();
        QVERIFY(f->isVisible() && !w.isVisible());
        QCOMPARE(f->windowTitle(), QStringLiteral("Посмотрим, как у тебя дела..."));
        // The name as typed, also one that reads as markup, whole in its bold font at 10 pt or
        // more; one too long for that at 10 pt.
        const QLabel &label = *f->Label1;
        QCOMPARE(Displayed(f->Label1), name.isEmpty() ? GetLoginName() : name);
        QVERIFY(label.font().bold());
        const int flags = label.alignment() | (label.wordWrap() ? Qt::TextWordWrap : 0);
        const QRect room = label.contentsRect();
        if (name.size() > 100)
            QCOMPARE(label.font().pointSize(), 10);
        else
            QVERIFY(label.font().pointSize() >= 10 &&
                    room.contains(label.fontMetrics().boundingRect(room, flags, label.text())));
        QCOMPARE(f->Label3->text(), QStringLiteral("Всего было 12 вопросов"));
        QTEST(f->Label2->text(), "countText");
        const QRegularExpression timeLine(QStringLiteral("^Думал над решениями \\d+ секунд[уы]?$"));
        QVERIFY2(timeLine.match(f->Label5->text()).hasMatch(), qPrintable(f->Label5->text()));
        // The banner in front is the widget in the middle of the banners' shared rectangle; it
        // is drawn blue, RGB(0, 0, 255), for a pass and dark blue, RGB(0, 0, 128), for a fail.
        const QRect banners = f->Label4[0]->geometry();
        QCOMPARE(qobject_cast<QLabel *>(f->childAt(banners.center()))->text(), banner);
        const QImage shot = f->grab(banners).toImage().convertToFormat(QImage::Format_RGB32);
        const auto *pixels = reinterpret_cast<const QRgb *>(shot.constBits());
        const QSet<QRgb> colours(pixels, pixels + shot.sizeInBytes() / sizeof(QRgb));
        const bool passed = banner == u"Ты прошёл тест";
        QCOMPARE(colours.contains(qRgb(0, 0, 255)), passed);
        QCOMPARE(colours.contains(qRgb(0, 0, 128)), !passed);
        QVERIFY(f->Label4[passed ? 1 : 0]->isHidden()); // also from a screen reader

        // Double-clicking the name shows the diagnostic line; elsewhere nothing.
        pupil.dialogs.clear();
        QTest::mouseDClick(f->Label2, Qt::LeftButton);
        QTest::mouseDClick(f->Label1, Qt::LeftButton);
        QCOMPARE(pupil.dialogs, QStringList(QStringLiteral("NoIcon|Vorpa|· 7 7 9 8 C")));
        f->close();
        QVERIFY(m_dialogs->ended);
    }

  private:
    QTemporaryDir m_configHome;
    NoExitDialogs *m_dialogs = nullptr;
};

QTEST_MAIN(FormsTest)
#include "tst_forms.moc"
