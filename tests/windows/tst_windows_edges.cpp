#include "Fakes.h"
#include "frmFinish.h"
#include "frmStart.h"
#include "mdMain.h"

#include <QtTest>
#include <QtWidgets>

namespace {

// Dialogs that record what they are asked and shown, in place of the real ones until the next.
ScriptedDialogs &UseScriptedDialogs()
{
    auto dialogs = std::make_unique<ScriptedDialogs>();
    ScriptedDialogs &used = *dialogs;
    mdMain::UseDialogs(std::move(dialogs));
    return used;
}

} // namespace

// The windows with input at the edges: long names, Enter on the stopwatch button, the regional
// settings of other countries.
class WindowEdgesTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_configHome.isValid());
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
        mdMain::UseCalculatorProbe(std::make_unique<FakeCalculatorProbe>());
    }

    void wholeNameShows_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("25 letters") << "Александра Константиновна";
        QTest::newRow("54 letters") << "Александра Константиновна Преображенская-Преображенская";
    }

    // Seven times eight, answered right; then the name must fit the label's font and room whole.
    void wholeNameShows()
    {
        QFETCH(QString, name);
        UseScriptedDialogs().answers = QStringList(12, QStringLiteral("56"));
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
        const ScriptedDialogs &dialogs = UseScriptedDialogs();
        frmStart w;
        w.Text1[0]->setText(QStringLiteral("abc"));
        w.show();
        w.Command2->setFocus();
        QTest::keyClick(w.Command2, Qt::Key_Return);
        QTest::keyClick(w.Command2, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(dialogs.messages.size(), 0);
        w.Text3->setFocus();
        QTest::keyClick(w.Text3, Qt::Key_Return);
        QCOMPARE(dialogs.messages.size(), 1); // the warning about "abc"
    }

    void boundsFollowTheRegionalSettings_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("limits");
        QTest::newRow("ru_RU") << "ru_RU"
                               << "1 000"
                               << "-2\u00A0147\u00A0483\u00A0648 до 2\u00A0147\u00A0483\u00A0647";
        QTest::newRow("hi_IN") << "hi_IN"
                               << "1,00,000"
                               << "-2,14,74,83,648 до 2,14,74,83,647";
        QTest::newRow("ar_EG") << "ar_EG"
                               << "\u061C-\u0661\u066C\u0660\u0660\u0660"
                               << "-2147483648 до 2147483647";
    }

    // The bounds are read as the regional settings the program runs in write numbers; the
    // warning about a bad one gives the limits so that they read well there.
    void boundsFollowTheRegionalSettings()
    {
        QFETCH(QString, locale);
        QFETCH(QString, typed);
        QFETCH(QString, limits);
        QLocale::setDefault(QLocale(locale));
        const auto restore = qScopeGuard([] { QLocale::setDefault(QLocale::system()); });
        const ScriptedDialogs &dialogs = UseScriptedDialogs();
        frmStart w;
        w.Text1[0]->setText(typed);
        w.Text2[1]->setText(QStringLiteral("abc"));
        w.Command1->click();
        QCOMPARE(dialogs.messages, QStringList("Warning|-|В поле «Второе число, до» нужно "
                                               "написать целое число от " +
                                               limits + u'.'));
    }

  private:
    QTemporaryDir m_configHome;
};

QTEST_MAIN(WindowEdgesTest)
#include "tst_windows_edges.moc"
