#include "SystemCalculatorProbe.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTest>

// The probe against windows that another process opens and closes.
class WineCalculatorTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void seesTheWindowWhileItIsOpen_data()
    {
        QTest::addColumn<QString>("windowClass");
        QTest::addColumn<bool>("calculator");
        QTest::newRow("classic calculator") << "SciCalc" << true;
        QTest::newRow("longer class") << "SciCalc2" << false;
        QTest::newRow("notepad") << "Notepad" << false;
    }

    void seesTheWindowWhileItIsOpen()
    {
        QFETCH(QString, windowClass);
        const std::unique_ptr<CalculatorProbe> probe = MakeSystemCalculatorProbe("windows");
        QVERIFY(!probe->CalculatorWindowOpen());

        QProcess window;
        window.start(QCoreApplication::applicationDirPath() + "/scicalc_window.exe", {windowClass});
        QVERIFY(window.waitForReadyRead(60000));
        QCOMPARE(window.readLine().trimmed(), "open");
        QTEST(probe->CalculatorWindowOpen(), "calculator");

        window.closeWriteChannel();
        QVERIFY(window.waitForFinished(60000));
        QCOMPARE(window.exitCode(), 0);
        QVERIFY(!probe->CalculatorWindowOpen());
    }
};

QTEST_GUILESS_MAIN(WineCalculatorTest)
#include "tst_wine_calculator.moc"
