#include "LoginName.h"

#include <QProcess>
#include <QTest>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace {

// What the system's own `id` says; empty when it knows no such user.
QString Id(const QStringList &arguments)
{
    QProcess id;
    id.start(QStringLiteral("id"), arguments);
    if (!id.waitForFinished() || id.exitStatus() != QProcess::NormalExit || id.exitCode() != 0)
        return {};
    return QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed();
}

} // namespace

class LoginNameTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    // The effective user's name, whatever USER, LOGNAME and USERNAME say: as `id -un` gives it
    // or, under Wine, as loginname.sh got it from Wine. Asked afresh on every call: nobody is
    // "nobody", and a user id the system does not know has no name.
    void isTheEffectiveUsersName()
    {
        const QString me = qEnvironmentVariableIsSet("VORPA_WINE_ACCOUNT")
                               ? qEnvironmentVariable("VORPA_WINE_ACCOUNT")
                               : Id({"-un"});
        QVERIFY(!me.isEmpty());
        for (const char *variable : {"USER", "LOGNAME", "USERNAME"})
            qputenv(variable, "Intruder");
        QCOMPARE(GetLoginName(), me);

#ifndef Q_OS_WIN
        const uid_t nobodyId = Id({"-u", "nobody"}).toUInt();
        const uid_t unknownId = 54321;
        if (geteuid() != 0 || nobodyId == 0 || !Id({QString::number(unknownId)}).isEmpty())
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
