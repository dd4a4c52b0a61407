#include "Fakes.h"
#include "LoginName.h"
#include "QtQuizDialogs.h"
#include "frmFinish.h"
#include "frmStart.h"
#include "mdMain.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

namespace {

// Types key by key, also letters that QTest::keyClicks cannot turn into keys.
void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Answers the modal dialogs as a pupil would and records each one as "title|default|prompt" for
// a question, "icon|title|text" for a message box. A null answer presses Cancel, any other is
// typed over the default before OK. Like Qt's own tests it polls for the active modal widget,
// on a timer that also runs inside the dialogs' event loops.
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
                input->findChild<QDialogButtonBox *>()
                    ->button(text.isNull() ? QDialogButtonBox::Cancel : QDialogButtonBox::Ok)
                    ->click();
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                dialogs << QLatin1String(
                               QMetaEnum::fromType<QMessageBox::Icon>().valueToKey(box->icon())) +
                               u'|' + box->windowTitle() + u'|' + box->text();
                box->button(QMessageBox::Ok)->click();
            }
        });
        m_timer.start(2);
    }

  private:
    QTimer m_timer;
};

// The real dialogs, except that ending the program only sets a flag.
struct NoExitDialogs final : QuizDialogs
{
    QtQuizDialogs real;
    bool ended = false;
    QString AskText(const QString &prompt, const QString &title, const QString &text) override
    {
        return real.AskText(prompt, title, text);
    }
    void ShowMessage(const QString &text, MessageIcon icon,
                     const std::optional<QString> &title) override
    {
        real.ShowMessage(text, icon, title);
    }
    void EndProgram() override { ended = true; }
};

// The settings file, and what it holds as its "name=value" lines in sorted order.
QString StoreFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Quorvantelle/Vorpa.conf");
}

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

// Stored choices, 2..2 and 8..8 and difficult, with the code and the intellectual flag to fill
// in; the tests that keep them set none of these on the window, so that an overwrite shows.
const QString kStored = QStringLiteral("ExampleDifficult=1 ExampleMax1=2 ExampleMax2=8 "
                                       "ExampleMin1=2 ExampleMin2=8 ExampleType=%1 "
                                       "IntellectualMode=%2");
const QString kRightBox = QStringLiteral("Information|Молодец|Правильно");

} // namespace

// The start window: what it shows and restores, the name gate on saving, bad bounds, and whole
// runs from "Начать" to the results window.
class StartWindowTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    // A settings store of the test's own, a quiet calculator probe, and a log without the
    // offscreen platform's complaint about every dialog.
    void initTestCase()
    {
        static const QtMessageHandler next = qInstallMessageHandler(
            [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
                if (!message.contains(QLatin1String("propagateSizeHints")))
                    next(type, context, message);
            });
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

    // Runs first, while nothing is stored; loading only reads the store.
    void firstRunShowsTheDesignState()
    {
        frmStart w;
        QVERIFY(!GetLoginName().isEmpty());
        QCOMPARE(w.Text3->text(), GetLoginName());
        QCOMPARE(Shown(w), QStringLiteral("Умножение 1..10 1..10"));
        QVERIFY(w.Check2->isEnabled());
        QCOMPARE(Stored(), QStringLiteral("nothing"));
        const QPoint offCentre = w.geometry().center() - w.screen()->availableGeometry().center();
        QVERIFY(offCentre.manhattanLength() <= 2);
    }

    // One non-zero bound shows all four, four zeros mean none is stored; a code outside 1..7
    // leaves multiplication; any non-zero flag ticks its box, each its own.
    void restoresStoredValues()
    {
        const std::pair<QString, QString> cases[] = {
            {"ExampleType=7 ExampleDifficult=5 ExampleMin1=-5 ExampleMax1=5 IntellectualMode=0",
             "Логарифмирование -5..5 0..0 D"},
            {"ExampleType=8 ExampleMax2=7 IntellectualMode=1", "Умножение 0..0 0..7 I"},
            {"ExampleType=0 ExampleDifficult=1 IntellectualMode=2", "Умножение 1..10 1..10 D I"},
        };
        for (const auto &[stored, shown] : cases) {
            Store(stored);
            frmStart w;
            QCOMPARE(Shown(w), shown);
            QVERIFY(w.Check2->isEnabled());
        }
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
        row("other name", "Умножение", 3, times, {"Петя"}, "");
        if (otherCase != login)
            row("other case", "Умножение", 3, times, {otherCase}, "");
        row("trailing blank", "Умножение", 3, times, {login + u' '}, "");
        row("back to the login name", "Умножение", 3, times, {"Петя", login}, "0");
    }

    // The stored code ticks its button. The pupil picks that button after another code was
    // stored, may change the name, and presses Enter: the choices are saved before the first
    // question while the name is the login name, and the questions are of the button's kind.
    void startSavesAndAsks()
    {
        QFETCH(QString, button);
        QFETCH(int, code);
        QFETCH(QStringList, names);
        QFETCH(QString, intellectual);
        Store(kStored.arg(code).arg(1));
        QCOMPARE(Shown(frmStart()), button + QStringLiteral(" 2..2 8..8 D I"));
        Store(kStored.arg(code % 7 + 1).arg(1));
        frmStart w;
        for (QRadioButton *option : w.Frame1->findChildren<QRadioButton *>()) {
            if (option->text() == button)
                option->click();
        }
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
        pupil.answer = [&](int n) {
            if (n == 1)
                storedWhenAsked = Stored();
            return QStringLiteral("1");
        };
        QTest::keyClick(w.Text3, Qt::Key_Return);
        QCOMPARE(pupil.questions, 12);
        QVERIFY(!w.isVisible() && w.finishWindow()->isVisible());
        QVERIFY(!mdMain::Settings().CalculatorSeen); // cleared at the start; no calculator since
        QTEST(pupil.dialogs.value(0).section(u'|', 2), "question");
        QCOMPARE(storedWhenAsked, intellectual.isEmpty() ? kStored.arg(code % 7 + 1).arg(1)
                                                         : kStored.arg(code).arg(intellectual));
    }

    // The warning names the first bad field of four, which gets the focus.
    void badBoundsAreRejected_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("field");
        QTest::addColumn<QString>("fieldName");
        QTest::newRow("empty") << "" << 0 << "Первое число, от";
        QTest::newRow("word") << "десять" << 1 << "Первое число, до";
        QTest::newRow("exponent") << "1e9" << 2 << "Второе число, от";
        QTest::newRow("too large") << "2147483648" << 3 << "Второе число, до";
    }

    void badBoundsAreRejected()
    {
        QFETCH(QString, text);
        QFETCH(int, field);
        QFETCH(QString, fieldName);
        Store(kStored.arg(4).arg(1));
        frmStart w;
        w.show();
        const QList<QLineEdit *> fields = {w.Text1[0], w.Text2[0], w.Text1[1], w.Text2[1]};
        fields[3]->setText(QStringLiteral("abc")); // a later bad field waits its turn
        fields[field]->setText(text);
        w.Text3->setFocus();

        ModalAnswerer pupil;
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(pupil.dialogs.size(), 1);
        // The limits as the regional settings write them; CTest runs this under C.UTF-8 and
        // ru_RU.UTF-8.
        const QString limits =
            QLocale::system().language() == QLocale::Russian
                ? QStringLiteral(
                      "от -2\u00A0147\u00A0483\u00A0648 до 2\u00A0147\u00A0483\u00A0647.")
                : QStringLiteral("от -2,147,483,648 до 2,147,483,647.");
        QCOMPARE(pupil.dialogs[0], QStringLiteral("Warning|Vorpa|В поле «%1» нужно написать целое "
                                                  "число %2")
                                       .arg(fieldName, limits));
        QCOMPARE(w.focusWidget(), fields[field]);
        QVERIFY(w.isVisible() && !w.finishWindow());
        QCOMPARE(Stored(), kStored.arg(4).arg(1));
    }

    // Cancel on the first question ends the program; the results window never shows.
    void cancelEndsTheProgram()
    {
        QFile::remove(StoreFile());
        frmStart w;
        ModalAnswerer pupil;
        pupil.answer = [](int) { return QString(); };
        w.Command1->click();
        QCOMPARE(pupil.dialogs.size(), 2);
        QCOMPARE(pupil.dialogs[1],
                 QStringLiteral("Warning||%1, ты не прошёл тест").arg(GetLoginName()));
        QVERIFY(m_dialogs->ended && !w.finishWindow()->isVisible());
    }

    void wholeRun_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<QString>("banner");
        QTest::addColumn<QString>("countText");
        QTest::addColumn<bool>("configWritable");
        QTest::newRow("12 right") << 12 << "Ты прошёл тест"
                                  << "Ты ответил правильно на все вопросы" << true;
        QTest::newRow("9 right") << 9 << "Ты не прошёл тест"
                                 << "Ты правильно ответил на 9 вопросов" << true;
        QTest::newRow("0 right, config folder unwritable")
            << 0 << "Ты не прошёл тест"
            << "Ты не ответил верно ни на один вопрос" << false;
    }

    // Seven times nine with a calculator open; ends by closing the results window.
    void wholeRun()
    {
        QFETCH(int, right);
        QFETCH(QString, banner);
        QFETCH(bool, configWritable);
        auto probe = std::make_unique<FakeCalculatorProbe>();
        probe->answers = {true};
        mdMain::UseCalculatorProbe(std::move(probe));
        QFile::remove(StoreFile());
        frmStart w;
        for (QLineEdit *field : {w.Text1[0], w.Text2[0]})
            field->setText(QStringLiteral("7"));
        w.Text1[1]->setText(QStringLiteral("9")); // 9..8 is the range 9..9
        w.Text2[1]->setText(QStringLiteral("8"));
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
        QCOMPARE(f->Label1->text(), GetLoginName());
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

        // Double-clicking the name shows the diagnostic line; elsewhere nothing.
        pupil.dialogs.clear();
        QTest::mouseDClick(f->Label2, Qt::LeftButton);
        QTest::mouseDClick(f->Label1, Qt::LeftButton);
        QCOMPARE(pupil.dialogs, QStringList(QStringLiteral("NoIcon|Vorpa|· 7 7 9 8 C")));
        f->close();
        QVERIFY(m_dialogs->ended);
    }

    void wholeNameShows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("25 letters") << "Александра Константиновна";
        QTest::newRow("54 letters") << "Александра Константиновна Преображенская-Преображенская";
    }

    // Seven times eight, answered right; the name then fits the label's font and room whole.
    void wholeNameShows()
    {
        QFETCH(QString, name);
        ModalAnswerer pupil;
        mdMain::Settings() = QuizSettings{name, 7, 7, 8, 8, Operation::Multiplication};
        frmFinish f;
        QVERIFY(f.loadAndShow());
        const QLabel &label = *f.Label1;
        const QRect room = label.contentsRect();
        const int flags = label.alignment() | (label.wordWrap() ? Qt::TextWordWrap : 0);
        QCOMPARE(label.text(), name);
        QVERIFY(label.font().pointSize() >= 10 && label.font().bold());
        QVERIFY(room.contains(label.fontMetrics().boundingRect(room, flags, name)));
    }

    // Enter does nothing on the stopwatch button, and presses "Начать" elsewhere.
    void enterOnTheStopwatchDoesNothing()
    {
        frmStart w;
        w.Text1[0]->setText(QStringLiteral("abc"));
        w.show();
        ModalAnswerer pupil;
        w.Command2->setFocus();
        QTest::keyClick(w.Command2, Qt::Key_Return);
        QTest::keyClick(w.Command2, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(pupil.dialogs.size(), 0);
        w.Text3->setFocus();
        QTest::keyClick(w.Text3, Qt::Key_Return);
        QCOMPARE(pupil.dialogs.size(), 1); // the warning about "abc"
    }

    void boundsFollowTheRegionalSettings_data()
    {
        QTest::addColumn<QString>("typed"); // the row's name is the locale
        QTest::addColumn<QString>("limits");
        QTest::newRow("ru_RU") << "1 000"
                               << "-2\u00A0147\u00A0483\u00A0648 до 2\u00A0147\u00A0483\u00A0647";
        QTest::newRow("hi_IN") << "1,00,000"
                               << "-2,14,74,83,648 до 2,14,74,83,647";
        QTest::newRow("ar_EG") << "\u061C-\u0661\u066C\u0660\u0660\u0660"
                               << "-2147483648 до 2147483647";
    }

    // The bounds are read as the regional settings the program runs in write numbers; the
    // warning about a bad one gives the limits so that they read well there.
    void boundsFollowTheRegionalSettings()
    {
        QFETCH(QString, typed);
        QFETCH(QString, limits);
        QLocale::setDefault(QLocale(QTest::currentDataTag()));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        frmStart w;
        w.Text1[0]->setText(typed);
        w.Text2[1]->setText(QStringLiteral("abc"));
        ModalAnswerer pupil;
        w.Command1->click();
        QCOMPARE(pupil.dialogs,
                 QStringList("Warning|Vorpa|В поле «Второе число, до» нужно написать целое "
                             "число от " +
                             limits + u'.'));
    }

  private:
    QTemporaryDir m_configHome;
    NoExitDialogs *m_dialogs = nullptr;
};

QTEST_MAIN(StartWindowTest)
#include "tst_windows_start.moc"
