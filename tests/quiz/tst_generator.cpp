#include "AcceptanceRules.h"
#include "ExampleGenerator_p.h"
#include "Fakes.h"
#include "Int32.h"

#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(QuizSettings)

namespace {

constexpr qint32 kMin = kMin32, kMax = kMax32;
constexpr double kAlmostOne = 1.0 - 0x1.0p-53;
constexpr bool E = false, D = true; // easy, difficult
constexpr std::nullopt_t No = std::nullopt;

QString Show(std::optional<qint32> value)
{
    return value ? QString::number(*value) : u"No"_s;
}

} // namespace

class GeneratorTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    // Per operation: mode, a, b and the answer, or No when a rule or 32 bits reject the pair.
    void judgePair_data()
    {
        QTest::addColumn<Operation>("op");
        QTest::addColumn<bool>("difficult");
        QTest::addColumn<qint32>("a");
        QTest::addColumn<qint32>("b");
        QTest::addColumn<QString>("answer");
        using O = Operation;
        using Case = std::tuple<bool, qint32, qint32, std::optional<qint32>>;
        // clang-format off
        const std::vector<std::pair<Operation, std::vector<Case>>> table = {
            {O::Addition, {{E, 7, 0, 7}, {D, 7, 0, No}, {D, 0, 4, 4}, {D, kMax, 1, No},
                           {E, kMax - 1, 1, kMax}}},
            {O::Subtraction, {{E, 3, 4, No}, {E, 4, 4, 0}, {D, 3, 4, -1}, {D, kMin, 1, No}}},
            {O::Multiplication, {{E, 0, 8, 0}, {D, 0, 8, No}, {D, 8, 0, No}, {D, -7, 8, -56},
                                 {E, 65536, 65536, No}}},
            {O::Division, {{E, 6, 0, No}, {D, 6, 0, No}, {E, 12, 4, 3}, {E, -7, 2, No},
                           {D, -7, 2, -3}, {E, kMin, -1, No}, {D, kMin, -1, No}}},
            {O::Remainder, {{E, 7, 0, No}, {E, -7, 3, -1}, {D, -7, 3, -1}, {D, 7, -3, 1},
                            {E, 7, 1, 0}, {D, 7, 1, No}, {D, kMin, -1, 0}}},
            {O::Power, {{D, 2, -1, No}, {D, 0, 0, No}, {E, -2, 3, No}, {D, -2, 3, -8},
                        {D, -2, 2, 4}, {E, 0, 5, 0}, {E, 5, 0, 1}, {E, 10, 10, No}, {E, 2, 31, No},
                        {D, -2, 31, kMin}, {E, 1, kMax, 1}, {D, -1, kMax, -1}, {D, kMin, 2, No}}},
            {O::Logarithm, {{D, 2, 0, No}, {D, 1, 8, No}, {D, 2, 9, 3}, {D, 10, 9, 0},
                            {D, 2, kMax, 30}, {E, kMax, kMax, 1}, {E, 2, 1 << 30, 30}, {E, 3, 1, 0},
                            {E, 2, 8, 3}, {E, 2, 6, No}, {E, 4, 2, No}, {E, 6, 12, No}}},
        };
        // clang-format on
        for (const auto &[op, cases] : table)
            for (const auto &[difficult, a, b, answer] : cases)
                QTest::addRow("%d%c%d%s", a, "+-*:%^L"[int(op)], b, difficult ? " D" : " E")
                    << op << difficult << a << b << Show(answer);
    }
    void judgePair()
    {
        QFETCH(Operation, op);
        QFETCH(bool, difficult);
        QFETCH(qint32, a);
        QFETCH(qint32, b);
        QFETCH(QString, answer);
        QCOMPARE(Show(JudgePair(op, difficult, a, b)), answer);
    }

    // Easy subtraction: (1, 10) is negative and thrown away, then (10, 1) passes.
    void drawsFirstOperandFirstAndRetries()
    {
        ScriptedRandom random({0.0, kAlmostOne, kAlmostOne, 0.0});
        FakeClock clock;
        const auto example = DrawExample({{}, 1, 10, 1, 10, Operation::Subtraction}, random, clock);
        QVERIFY(example);
        QCOMPARE(QList<qint32>({example->FirstOperand, example->SecondOperand, example->Answer}),
                 QList<qint32>({10, 1, 9}));
        QCOMPARE(random.drawn, size_t(4));
        // Dense candidates (one pair in three) are never drawn directly, however unlucky the loop.
        ScriptedRandom unlucky({kAlmostOne}); // always 7 : 3
        const CountedDraw dense =
            DrawExampleCounted({{}, 7, 7, 1, 3, Operation::Division}, unlucky, clock);
        QVERIFY(!dense.example && !dense.direct);
    }

    // A reversed first range is not swapped: 10..1 gives 10 for r = 0 and 9 down to 2 above it.
    void reversedFirstRangeGivesTwoToTen()
    {
        ScriptedRandom random({0.0, 0.5, 1 / 8.0, 0.5, 2 / 8.0, 0.5, 3 / 8.0, 0.5, 4 / 8.0, 0.5,
                               5 / 8.0, 0.5, 6 / 8.0, 0.5, 7 / 8.0, 0.5, kAlmostOne, 0.5});
        FakeClock clock;
        QList<qint32> firsts;
        for (int i = 0; i < 9; ++i) {
            const auto example = DrawExample({{}, 10, 1, 0, 0, Operation::Addition}, random, clock);
            QVERIFY(example);
            firsts << example->FirstOperand;
        }
        QCOMPARE(firsts, QList<qint32>({10, 9, 8, 7, 6, 5, 4, 3, 2}));
    }

    // 7 is never a multiple of 3, and easy powers have no negative base: no candidates either,
    // so the operand loop runs to the limit. The clock starts at 1000 s and moves half a second
    // a reading: the 10th reading after the start shows exactly the limit, the 11th passes it.
    void givesUpOnlyAfterMoreThanFiveSeconds_data()
    {
        QTest::addColumn<QuizSettings>("settings");
        QTest::addRow("7:3") << QuizSettings{{}, 7, 7, 3, 3, Operation::Division};
        QTest::addRow("negative bases")
            << QuizSettings{{}, -1000000, -2, 0, 1000000000, Operation::Power};
    }
    void givesUpOnlyAfterMoreThanFiveSeconds()
    {
        QFETCH(QuizSettings, settings);
        Xoshiro256 random(1);
        FakeClock clock;
        clock.stepPerReading = 0.5;
        const CountedDraw draw = DrawExampleCounted(settings, random, clock);
        QVERIFY(!draw.example && !draw.direct);
        QCOMPARE(clock.now, 1006.0);
    }
};

QTEST_GUILESS_MAIN(GeneratorTest)
#include "tst_generator.moc"
