#include "LoginName.h"

#include <QTest>

// Run by loginname.sh, which asks Wine for the account from outside the program.
class WineLoginNameTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void isTheAccountWineReports()
    {
        const QString account = qEnvironmentVariable("VORPA_WINE_ACCOUNT");
        QVERIFY(!account.isEmpty());
        QCOMPARE(GetLoginName(), account);
    }
};

QTEST_GUILESS_MAIN(WineLoginNameTest)
#include "tst_wine_loginname.moc"
