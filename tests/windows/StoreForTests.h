#pragma once

#include "Fakes.h"
#include "Registry.h"
#include "mdMain.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The offscreen platform warns on every dialog that it cannot pass on size hints; the warning
// says nothing about the program, so it is kept out of the test logs.
inline void QuietOffscreenWarnings()
{
    static QtMessageHandler next = nullptr;
    next = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (message == QLatin1String("This plugin does not support propagateSizeHints()"))
                return;
            next(type, context, message);
        });
}

// Points the settings store at a folder of the test's own, so that no test reads or writes the
// real user's choices, and gives the process the title and the quiet calculator probe a test
// expects. Must run before the store is first used.
inline void PrepareWindowsTest(const QTemporaryDir &configHome)
{
    QuietOffscreenWarnings();
    QVERIFY(configHome.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    QApplication::setApplicationName(QStringLiteral("Vorpa"));
    mdMain::UseCalculatorProbe(std::make_unique<FakeCalculatorProbe>());
}

// Writes the seven values as they are, also ones the program itself never writes, and checks
// that they read back.
inline void StoreValues(const Registry::StoredValues &values)
{
    Registry::OpenSettingsKey(Registry::SettingsKeyPath);
    Registry::SetNumberValue(QStringLiteral("ExampleType"), values.ExampleType);
    Registry::SetNumberValue(QStringLiteral("ExampleDifficult"), values.ExampleDifficult);
    Registry::SetNumberValue(QStringLiteral("ExampleMin1"), values.ExampleMin1);
    Registry::SetNumberValue(QStringLiteral("ExampleMax1"), values.ExampleMax1);
    Registry::SetNumberValue(QStringLiteral("ExampleMin2"), values.ExampleMin2);
    Registry::SetNumberValue(QStringLiteral("ExampleMax2"), values.ExampleMax2);
    Registry::SetNumberValue(QStringLiteral("IntellectualMode"), values.IntellectualMode);
    const Registry::StoredValues stored = Registry::LoadSettings();
    QCOMPARE(stored.ExampleType, values.ExampleType);
    QCOMPARE(stored.ExampleDifficult, values.ExampleDifficult);
    QCOMPARE(stored.ExampleMin1, values.ExampleMin1);
    QCOMPARE(stored.ExampleMax1, values.ExampleMax1);
    QCOMPARE(stored.ExampleMin2, values.ExampleMin2);
    QCOMPARE(stored.ExampleMax2, values.ExampleMax2);
    QCOMPARE(stored.IntellectualMode, values.IntellectualMode);
}

inline bool operator==(const Registry::StoredValues &a, const Registry::StoredValues &b)
{
    return a.ExampleType == b.ExampleType && a.ExampleDifficult == b.ExampleDifficult &&
           a.ExampleMin1 == b.ExampleMin1 && a.ExampleMax1 == b.ExampleMax1 &&
           a.ExampleMin2 == b.ExampleMin2 && a.ExampleMax2 == b.ExampleMax2 &&
           a.IntellectualMode == b.IntellectualMode;
}

namespace QTest {
template <> inline char *toString(const Registry::StoredValues &v)
{
    return qstrdup(QStringLiteral("{type %1, difficult %2, %3..%4, %5..%6, intellectual %7}")
                       .arg(v.ExampleType)
                       .arg(v.ExampleDifficult)
                       .arg(v.ExampleMin1)
                       .arg(v.ExampleMax1)
                       .arg(v.ExampleMin2)
                       .arg(v.ExampleMax2)
                       .arg(v.IntellectualMode)
                       .toUtf8()
                       .constData());
}
} // namespace QTest
