#include "LoginName.h"

#include <QTest>

#ifndef Q_OS_WIN
#include <pwd.h>
#include <unistd.h>
#endif

class LoginNameTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void isTheEffectiveUsersName_data()
    {
        QTest::addColumn<int>("user"); // an effective user id to take as root; -1: none
        QTest::addColumn<QString>("name");
        QTest::addRow("the user running the test") << -1 << QString();
#ifndef Q_OS_WIN
        const passwd *nobody = getpwnam("nobody");
        QTest::addRow("nobody") << (nobody ? int(nobody->pw_uid) : 0) << "nobody";
        QTest::addRow("a user id the system does not know") << 54321 << QString();
#endif
    }

    // The effective user's name, whatever USER, LOGNAME and USERNAME say: as `id -un` gives it
    // (CTest passes it in VORPA_LOGIN_NAME) or, under Wine, as loginname.sh got it from Wine.
    // Asked afresh on every call: nobody is "nobody", and a user id the system does not know
    // has no name.
    void isTheEffectiveUsersName()
    {
        QFETCH(int, user);
        QFETCH(QString, name);
        const QString me = qEnvironmentVariable("VORPA_LOGIN_NAME");
        QVERIFY2(!me.isEmpty(), "VORPA_LOGIN_NAME must hold the name of the user running the test");
        for (const char *variable : {"USER", "LOGNAME", "USERNAME"})
            qputenv(variable, "Intruder");
        QCOMPARE(GetLoginName(), me);
#ifndef Q_OS_WIN
        if (user < 0)
            return;
        if (geteuid() != 0 || user == 0 || (name.isEmpty() && getpwuid(user) != nullptr))
            QSKIP("needs root, an unprivileged user nobody and no user 54321");
        // Compared only once back to root, so that a failure leaves no other user in charge.
        QCOMPARE(seteuid(uid_t(user)), 0);
        const QString asUser = GetLoginName();
        QCOMPARE(seteuid(0), 0);
        QCOMPARE(asUser, name);
        QCOMPARE(GetLoginName(), me);
#endif
    }
};

QTEST_GUILESS_MAIN(LoginNameTest)
#include "tst_loginname.moc"
