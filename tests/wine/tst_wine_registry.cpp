#include "Registry.h"

#include <QTest>

#include <climits>

// Run by registry.sh, which deletes the key before and reads it with `reg query` after.
class WineRegistryTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void missingKeyReadsZero() { QCOMPARE(Registry::LoadSettings(), Registry::StoredValues{}); }

    void saveThenLoad()
    {
        const QuizSettings settings{{}, -5, 5, INT_MIN, INT_MAX, Operation::Division, true, true};
        QVERIFY(Registry::SaveSettings(settings));
        QCOMPARE(Registry::LoadSettings(),
                 (Registry::StoredValues{4, 1, -5, 5, INT_MIN, INT_MAX, 1}));
    }
};

QTEST_GUILESS_MAIN(WineRegistryTest)
#include "tst_wine_registry.moc"
