#include "Registry.h"

#include <QTest>

#include <limits>

// Run by registry.sh, which deletes the key before and reads it with `reg query` after.
class WineRegistryTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void missingKeyReadsZero() { QCOMPARE(Registry::LoadSettings(), Registry::StoredValues{}); }

    void saveThenLoad()
    {
        QuizSettings settings;
        settings.Operation = Operation::Division;
        settings.Difficult = true;
        settings.Min1 = -5;
        settings.Max1 = 5;
        settings.Min2 = std::numeric_limits<qint32>::min();
        settings.Max2 = std::numeric_limits<qint32>::max();
        settings.IntellectualMode = true;
        QVERIFY(Registry::SaveSettings(settings));
        const Registry::StoredValues expected{4, 1, -5, 5, -2147483647 - 1, 2147483647, 1};
        QCOMPARE(Registry::LoadSettings(), expected);
    }
};

QTEST_GUILESS_MAIN(WineRegistryTest)
#include "tst_wine_registry.moc"
