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
    // The effective user's name, whatever USER, LOGNAME and USERNAME say: as `id -un` gives it
    // (CTest passes it in VORPA_LOGIN_NAME) or, under Wine, as loginname.sh got it from Wine.
    // Asked afresh on every call: nobody is "nobody", and a user id the system does not know
    // has no name.
    void isTheEffectiveUsersName()
    {
        const QString me = qEnvironmentVariable("VORPA_LOGIN_NAME");
        QVERIFY2(!me.isEmpty(), "VORPA_LOGIN_NAME must hold the name of the user running the test");
        for (const char *variable : {"USER", "LOGNAME", "USERNAME"})
            qputenv(variable, "Intruder");
        QCOMPARE(GetLoginName(), me);

#ifndef Q_OS_WIN
        const passwd *nobody = getpwnam("nobody");
        const uid_t nobodyId = nobody ? nobody->pw_uid : 0;
        const uid_t unknownId = 54321;
        if (geteuid() != 0 || nobodyId == 0 || getpwuid(unknownId) != nullptr)
            QSKIP("the rest needs root, an unprivileged user nobody and no user 54321");
        // Compared only once back to root, so that a failure leaves no other user in charge.
        QCOMPARE(seteuid(nobodyId), 0);
        const QString asNobody = GetLoginName();
        QCOMPARE(seteuid(0), 0);
        QCOMPARE(seteuid(unknownId), 0);
        const QString asUnknown = GetLoginName();
        QCOMPARE(seteuid(0), 0);
        QCOMPARE(asNobody, "nobody");
        QCOMPARE(asUnknown, QString());
        QCOMPARE(GetLoginName(), me);
#endif
    }
};

QTEST_GUILESS_MAIN(LoginNameTest)
#include "tst_loginname.moc"
