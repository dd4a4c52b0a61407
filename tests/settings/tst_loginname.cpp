#include "LoginName.h"

#include <QFile>
#include <QProcess>
#include <QTest>

#include <pwd.h>
#include <unistd.h>

namespace {

QString PasswordDatabaseName(uid_t uid)
{
    const passwd *entry = getpwuid(uid);
    return entry != nullptr ? QFile::decodeName(entry->pw_name) : QString();
}

} // namespace

class LoginNameTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void isTheEffectiveUsersName();
    void ignoresEnvironment_data();
    void ignoresEnvironment();
    void followsAChangeOfEffectiveUser();
};

void LoginNameTest::isTheEffectiveUsersName()
{
    const QString expected = PasswordDatabaseName(geteuid());
    QVERIFY(!expected.isEmpty());
    QCOMPARE(GetLoginName(), expected);

    // A second opinion from outside this process.
    QProcess id;
    id.start(QStringLiteral("id"), {QStringLiteral("-un")});
    if (!id.waitForFinished(10000) || id.exitCode() != 0)
        QSKIP("id -un is not available");
    QCOMPARE(GetLoginName(), QString::fromLocal8Bit(id.readAllStandardOutput()).trimmed());
}

void LoginNameTest::ignoresEnvironment_data()
{
    QTest::addColumn<QByteArray>("variable");
    QTest::newRow("USER") << QByteArray("USER");
    QTest::newRow("LOGNAME") << QByteArray("LOGNAME");
    QTest::newRow("USERNAME") << QByteArray("USERNAME");
}

void LoginNameTest::ignoresEnvironment()
{
    QFETCH(QByteArray, variable);
    const QString before = GetLoginName();
    const bool wasSet = qEnvironmentVariableIsSet(variable.constData());
    const QByteArray old = qgetenv(variable.constData());
    qputenv(variable.constData(), "Intruder");
    const QString during = GetLoginName();
    if (wasSet)
        qputenv(variable.constData(), old);
    else
        qunsetenv(variable.constData());
    QCOMPARE(during, before);
}

// The name is asked for on every call and belongs to the effective user, not the real one.
void LoginNameTest::followsAChangeOfEffectiveUser()
{
    if (geteuid() != 0)
        QSKIP("only root can change the effective user");
    const passwd *nobody = getpwnam("nobody");
    if (nobody == nullptr || nobody->pw_uid == 0)
        QSKIP("no unprivileged account named nobody");
    const uid_t other = nobody->pw_uid;
    const QString root = GetLoginName();

    QVERIFY(seteuid(other) == 0);
    const QString asOther = GetLoginName();
    QVERIFY(seteuid(0) == 0);

    QCOMPARE(asOther, QStringLiteral("nobody"));
    QCOMPARE(GetLoginName(), root);
}

QTEST_GUILESS_MAIN(LoginNameTest)
#include "tst_loginname.moc"
