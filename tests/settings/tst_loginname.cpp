#include "LoginName.h"

#include <QTest>

#include <pwd.h>
#include <unistd.h>

class LoginNameTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    // The effective user's entry in the password database, whatever USER and LOGNAME say.
    void isThePasswordDatabasesName()
    {
        const passwd *entry = getpwuid(geteuid());
        QVERIFY(entry != nullptr);
        const QString expected = QString::fromLocal8Bit(entry->pw_name);
        qputenv("USER", "Intruder");
        qputenv("LOGNAME", "Intruder");
        QCOMPARE(GetLoginName(), expected);
    }

    // Asked afresh on every call, for the effective user: nobody is "nobody", and a user id the
    // password database does not know has no name at all.
    void followsTheEffectiveUser()
    {
        const passwd *nobody = getpwnam("nobody");
        const uid_t nobodyId = nobody != nullptr ? nobody->pw_uid : 0, unknownId = 54321;
        if (geteuid() != 0 || nobodyId == 0 || getpwuid(unknownId) != nullptr)
            QSKIP("needs root, an unprivileged user nobody and no user 54321");
        const QString root = GetLoginName();

        QCOMPARE(seteuid(nobodyId), 0);
        const QString asNobody = GetLoginName();
        QCOMPARE(seteuid(0), 0);
        QCOMPARE(seteuid(unknownId), 0);
        const QString asUnknown = GetLoginName();
        QCOMPARE(seteuid(0), 0);

        QCOMPARE(asNobody, "nobody");
        QCOMPARE(asUnknown, QString());
        QCOMPARE(GetLoginName(), root);
    }
};

QTEST_GUILESS_MAIN(LoginNameTest)
#include "tst_loginname.moc"
