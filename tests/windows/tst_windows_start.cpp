#include "Fakes.h"
#include "LoginName.h"
#include "QtQuizDialogs.h"
#include "Registry.h"
#include "frmFinish.h"
#include "frmStart.h"
#include "mdMain.h"

#include <QtTest>
#include <QtWidgets>

#include <functional>

Q_DECLARE_METATYPE(Registry::StoredValues)

namespace {

// Types key by key, also letters that QTest::keyClicks cannot turn into keys.
void TypeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// Answers the modal dialogs as a pupil would: types into each question and presses OK, and
// presses OK on every message box, recording the boxes. Like Qt's own tests it polls for the
// active modal widget, on a timer that also runs inside the dialogs' event loops.
class ModalAnswerer final : public QObject
{
  public:
    struct Box
    {
        QString title, text;
        QMessageBox::Icon icon;
    };
    std::function<QString(int n)> answer = [](int) { return QStringLiteral("56"); }; // n from 1
    QList<Box> boxes;
    int questions = 0;

    ModalAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (auto *input = qobject_cast<QInputDialog *>(modal)) {
                auto *edit = input->findChild<QLineEdit *>();
                edit->selectAll();
                TypeText(edit, answer(++questions));
                input->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
            } else if (auto *box = qobject_cast<QMessageBox *>(modal)) {
                boxes << Box{box->windowTitle(), box->text(), box->icon()};
                box->button(QMessageBox::Ok)->click();
            }
        });
        m_timer.start(2);
    }

  private:
    QTimer m_timer;
};

// Stored choices that no test sets on the window, so that an overwrite shows.
const Registry::StoredValues kSentinel{4, 1, 3, 4, 5, 6, 1};
const QStringList kDesignState = {"Умножение", "1", "10", "1", "10"};

QList<qint32> Values(const Registry::StoredValues &values)
{
    QList<qint32> list;
    Registry::ForEachStoredValue(values, [&](const QString &, qint32 value) { list << value; });
    return list;
}

// Writes the values as they are, also ones the program itself never writes.
void StoreValues(const Registry::StoredValues &values)
{
    Registry::OpenSettingsKey(Registry::SettingsKeyPath);
    Registry::ForEachStoredValue(values, Registry::SetNumberValue);
    Registry::FlushSettingsKey();
}

// The selected kind of example and the four bounds.
QStringList Shown(const frmStart &w)
{
    QStringList shown = {w.Text1[0]->text(), w.Text2[0]->text(), w.Text1[1]->text(),
                         w.Text2[1]->text()};
    for (const QRadioButton *option : w.Frame1->findChildren<QRadioButton *>()) {
        if (option->isChecked())
            shown.prepend(option->text());
    }
    return shown;
}

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
        QApplication::setApplicationName(QStringLiteral("Vorpa"));
        mdMain::UseCalculatorProbe(std::make_unique<FakeCalculatorProbe>());
    }
    void cleanup()
    {
        mdMain::UseDialogs(std::make_unique<QtQuizDialogs>());
        QVERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    // Runs first, while nothing is stored; loading only reads the store.
    void firstRunShowsTheDesignState()
    {
        frmStart w;
        QVERIFY(!GetLoginName().isEmpty());
        QCOMPARE(w.Text3->text(), GetLoginName());
        QCOMPARE(Shown(w), kDesignState);
        QVERIFY(!w.Check1->isChecked() && !w.Check2->isChecked() && w.Check2->isEnabled());
        QCOMPARE(Values(Registry::LoadSettings()), Values({}));
    }

    void restoresStoredValues_data()
    {
        QTest::addColumn<Registry::StoredValues>("stored");
        QTest::addColumn<QStringList>("shown");
        // One non-zero bound shows all four, four zeros mean none is stored; a code outside
        // 1..7 leaves multiplication; any non-zero flag ticks its box.
        QTest::newRow("-5 5 0 0, code 7") << Registry::StoredValues{7, 5, -5, 5, 0, 0, 1}
                                          << QStringList{"Логарифмирование", "-5", "5", "0", "0"};
        QTest::newRow("0 0 0 7, code 8") << Registry::StoredValues{8, 0, 0, 0, 0, 7, 0}
                                         << QStringList{"Умножение", "0", "0", "0", "7"};
        QTest::newRow("four zeros, code 0")
            << Registry::StoredValues{0, 1, 0, 0, 0, 0, 2} << kDesignState;
    }

    void restoresStoredValues()
    {
        QFETCH(Registry::StoredValues, stored);
        StoreValues(stored);
        frmStart w;
        QTEST(Shown(w), "shown");
        QCOMPARE(w.Check1->isChecked(), stored.ExampleDifficult != 0);
        QCOMPARE(w.Check2->isChecked(), stored.IntellectualMode != 0);
        QVERIFY(w.Check2->isEnabled());
    }

    void nameGatesTheIntellectualBoxAndSaving_data()
    {
        QTest::addColumn<QStringList>("names"); // typed one after the other
        const QString login = GetLoginName();
        const QString otherCase = login.toUpper() != login ? login.toUpper() : login.toLower();
        QTest::newRow("login name untouched") << QStringList();
        QTest::newRow("other name") << QStringList{"Петя"};
        if (otherCase != login)
            QTest::newRow("other case") << QStringList{otherCase};
        QTest::newRow("trailing blank") << QStringList{login + u' '};
        QTest::newRow("back to the login name") << QStringList{"Петя", login};
    }

    // Starts with Enter, which presses "Начать".
    void nameGatesTheIntellectualBoxAndSaving()
    {
        QFETCH(QStringList, names);
        StoreValues(kSentinel); // ticks the intellectual-mode box
        frmStart w;
        for (const QString &name : names) {
            w.Text3->selectAll();
            TypeText(w.Text3, name.chopped(1));
            w.Check2->setChecked(true);
            TypeText(w.Text3, name.right(1)); // every edit clears the box, also the last one
            QVERIFY(!w.Check2->isChecked());
            QCOMPARE(w.Check2->isEnabled(), name == GetLoginName());
        }
        w.Option3->setChecked(true);
        w.Text2[1]->setText(QStringLiteral("8"));
        mdMain::Settings().CalculatorSeen = true;

        ModalAnswerer pupil;
        QTest::keyClick(w.Text3, Qt::Key_Return);
        QCOMPARE(pupil.questions, 12);
        QVERIFY(!w.isVisible() && w.finishWindow()->isVisible());
        QVERIFY(!mdMain::Settings().CalculatorSeen); // cleared at the start; no calculator since
        const Registry::StoredValues saved{3, 1, 3, 4, 5, 8, names.isEmpty()};
        const bool loginName = names.isEmpty() || names.last() == GetLoginName();
        QCOMPARE(Values(Registry::LoadSettings()), Values(loginName ? saved : kSentinel));
    }

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
        StoreValues(kSentinel);
        frmStart w;
        w.show();
        const QList<QLineEdit *> fields = {w.Text1[0], w.Text2[0], w.Text1[1], w.Text2[1]};
        fields[3]->setText(QStringLiteral("abc")); // a later bad field waits its turn
        fields[field]->setText(text);
        w.Text3->setFocus();

        ModalAnswerer pupil;
        QTest::mouseClick(w.Command1, Qt::LeftButton);
        QCOMPARE(pupil.boxes.size(), 1);
        QCOMPARE(pupil.boxes[0].icon, QMessageBox::Warning);
        QCOMPARE(pupil.boxes[0].title, QStringLiteral("Vorpa"));
        QVERIFY2(pupil.boxes[0].text.contains(u'«' + fieldName + u'»'),
                 qPrintable(pupil.boxes[0].text));
        QCOMPARE(w.focusWidget(), fields[field]);
        QVERIFY(w.isVisible() && !w.finishWindow());
        QCOMPARE(Values(Registry::LoadSettings()), Values(kSentinel));
    }

    void wholeRun_data()
    {
        QTest::addColumn<int>("right");
        QTest::addColumn<bool>("passed");
        QTest::addColumn<QString>("countText");
        QTest::addColumn<bool>("configWritable");
        QTest::newRow("12 right") << 12 << true << "Ты ответил правильно на все вопросы" << true;
        QTest::newRow("9 right") << 9 << false << "Ты правильно ответил на 9 вопросов" << true;
        QTest::newRow("0 right, config folder unwritable")
            << 0 << false << "Ты не ответил верно ни на один вопрос" << false;
    }

    // Seven times eight with a calculator open; ends by closing the results window.
    void wholeRun()
    {
        QFETCH(int, right);
        QFETCH(bool, passed);
        QFETCH(bool, configWritable);
        auto probe = std::make_unique<FakeCalculatorProbe>();
        probe->answers = {true};
        mdMain::UseCalculatorProbe(std::move(probe));
        StoreValues({});
        frmStart w;
        for (QLineEdit *field : {w.Text1[0], w.Text2[0]})
            field->setText(QStringLiteral("7"));
        for (QLineEdit *field : {w.Text1[1], w.Text2[1]})
            field->setText(QStringLiteral("8"));
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
        pupil.answer = [right](int n) { return QString::number(n <= right ? 56 : 55); };
        w.show();
        QTest::mouseClick(w.Command1, Qt::LeftButton);

        QCOMPARE(pupil.questions, 12);
        QCOMPARE(pupil.boxes.size(), 12); // the verdicts
        frmFinish *f = w.finishWindow();
        QVERIFY(f->isVisible() && !w.isVisible());
        QCOMPARE(f->Label1->text(), GetLoginName());
        QTEST(f->Label2->text(), "countText");
        const QRegularExpression timeLine(QStringLiteral("^Думал над решениями \\d+ секунд[уы]?$"));
        QVERIFY2(timeLine.match(f->Label5->text()).hasMatch(), qPrintable(f->Label5->text()));
        // The banner in front is the widget in the middle of the banners' shared rectangle.
        QCOMPARE(f->childAt(f->Label4[0]->geometry().center()), f->Label4[passed ? 0 : 1]);

        // Double-clicking the name shows the diagnostic line; elsewhere nothing.
        pupil.boxes.clear();
        QTest::mouseDClick(f->Label2, Qt::LeftButton);
        QTest::mouseDClick(f->Label1, Qt::LeftButton);
        QCOMPARE(pupil.boxes.size(), 1);
        QCOMPARE(pupil.boxes[0].text, QStringLiteral("· 7 7 8 8 C"));
        QCOMPARE(pupil.boxes[0].icon, QMessageBox::NoIcon);
        QCOMPARE(pupil.boxes[0].title, QStringLiteral("Vorpa"));

        auto dialogs = std::make_unique<ScriptedDialogs>();
        const bool &ended = dialogs->ended;
        mdMain::UseDialogs(std::move(dialogs));
        f->close();
        QVERIFY(ended);
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
        QCOMPARE(pupil.boxes.size(), 0);
        w.Text3->setFocus();
        QTest::keyClick(w.Text3, Qt::Key_Return);
        QCOMPARE(pupil.boxes.size(), 1); // the warning about "abc"
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
        QCOMPARE(pupil.boxes.size(), 1);
        QCOMPARE(pupil.boxes[0].text,
                 "В поле «Второе число, до» нужно написать целое число от " + limits + u'.');
    }

  private:
    QTemporaryDir m_configHome;
};

QTEST_MAIN(StartWindowTest)
#include "tst_windows_start.moc"
