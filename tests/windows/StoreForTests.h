#pragma once

#include "Fakes.h"
#include "Registry.h"
#include "mdMain.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// The seven stored values in their order, for comparing and printing.
inline QList<qint32> Values(const Registry::StoredValues &v)
{
    return {v.ExampleType, v.ExampleDifficult, v.ExampleMin1,     v.ExampleMax1,
            v.ExampleMin2, v.ExampleMax2,      v.IntellectualMode};
}

// Points the settings store at the test's own folder, so that no test touches the real user's
// choices, and sets the title and the quiet calculator probe the tests expect. Runs before the
// store is first used.
inline void PrepareWindowsTest(const QTemporaryDir &configHome)
{
    // The offscreen platform warns on every dialog that it cannot pass on size hints.
    static QtMessageHandler next = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext &context, const QString &message) {
            if (message != QLatin1String("This plugin does not support propagateSizeHints()"))
                next(type, context, message);
        });
    QVERIFY(configHome.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome.path()));
    QApplication::setApplicationName(QStringLiteral("Vorpa"));
    mdMain::UseCalculatorProbe(std::make_unique<FakeCalculatorProbe>());
}

// Writes the seven values as they are, also ones the program itself never writes.
inline void StoreValues(const Registry::StoredValues &values)
{
    const QStringList names = {"ExampleType", "ExampleDifficult", "ExampleMin1",     "ExampleMax1",
                               "ExampleMin2", "ExampleMax2",      "IntellectualMode"};
    Registry::OpenSettingsKey(Registry::SettingsKeyPath);
    for (int i = 0; i < names.size(); ++i)
        Registry::SetNumberValue(names[i], Values(values)[i]);
    QCOMPARE(Values(Registry::LoadSettings()), Values(values));
}
