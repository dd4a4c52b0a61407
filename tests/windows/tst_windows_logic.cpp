#include "BoundParser.h"
#include "Twips.h"

#include <QTest>

#include <limits>
#include <optional>

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();
const QString kNbsp = QString(QChar(0x00A0));

} // namespace

// Reading the bound fields under the pupil's regional settings, and laying out in twips.
class WindowsLogicTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void parseBound_data();
    void parseBound();
    void localeTextsReadBack_data();
    void localeTextsReadBack();
    void windowSizes();
    void twipsKeepProportions_data();
    void twipsKeepProportions();
};

void WindowsLogicTest::parseBound_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<qint32>("value");

    const auto ok = [](const char *name, const char *locale, const QString &text, qint32 value) {
        QTest::newRow(name) << QString::fromLatin1(locale) << text << true << value;
    };
    const auto bad = [](const char *name, const char *locale, const QString &text) {
        QTest::newRow(name) << QString::fromLatin1(locale) << text << false << 0;
    };

    // Plain integers, signs and surrounding blanks.
    ok("ru zero", "ru_RU", QStringLiteral("0"), 0);
    ok("ru negative", "ru_RU", QStringLiteral("-7"), -7);
    ok("ru plus sign", "ru_RU", QStringLiteral("+7"), 7);
    ok("ru typographic minus", "ru_RU", QStringLiteral("−7"), -7);
    ok("ru blanks around", "ru_RU", QStringLiteral("  15\t"), 15);
    ok("ru nbsp around", "ru_RU", kNbsp + QStringLiteral("15") + kNbsp, 15);
    ok("ru leading zeros", "ru_RU", QStringLiteral("0000000000000000000000000012"), 12);
    ok("ru full-width digits", "ru_RU", QStringLiteral("１２"), 12);

    // Grouping: the locale's non-breaking space, or the ordinary blank a pupil types.
    ok("ru grouped nbsp", "ru_RU", QStringLiteral("12") + kNbsp + QStringLiteral("345"), 12345);
    ok("ru grouped blank", "ru_RU", QStringLiteral("1 000 000"), 1000000);
    ok("ru grouped narrow nbsp", "ru_RU", QStringLiteral("1\u202F000"), 1000);
    bad("ru group of two", "ru_RU", QStringLiteral("1 00"));
    bad("ru group of four", "ru_RU", QStringLiteral("1 0000"));
    bad("ru first group of four", "ru_RU", QStringLiteral("1000 000"));
    bad("ru two blanks", "ru_RU", QStringLiteral("1  000"));
    bad("ru blanks between digits", "ru_RU", QStringLiteral("12 34"));
    bad("ru blank after sign", "ru_RU", QStringLiteral("- 5"));
    bad("ru blank group in fraction", "ru_RU", QStringLiteral("1,000 5"));

    // Fractions round to the nearest integer, halves to the even one, symmetric about zero.
    ok("ru half down to even", "ru_RU", QStringLiteral("2,5"), 2);
    ok("ru half up to even", "ru_RU", QStringLiteral("3,5"), 4);
    ok("ru just above half", "ru_RU", QStringLiteral("2,5000001"), 3);
    ok("ru half with zeros", "ru_RU", QStringLiteral("2,5000"), 2);
    ok("ru below half", "ru_RU", QStringLiteral("7,4999"), 7);
    ok("ru negative half", "ru_RU", QStringLiteral("-2,5"), -2);
    ok("ru negative half up", "ru_RU", QStringLiteral("-3,5"), -4);
    ok("ru negative fraction", "ru_RU", QStringLiteral("-0,7"), -1);
    ok("ru fraction only", "ru_RU", QStringLiteral(",5"), 0);
    ok("ru mark without digits", "ru_RU", QStringLiteral("5,"), 5);
    ok("ru grouped with fraction", "ru_RU", QStringLiteral("1 000,7"), 1001);
    bad("ru full stop is no decimal mark", "ru_RU", QStringLiteral("2.5"));
    bad("ru two decimal marks", "ru_RU", QStringLiteral("1,2,3"));

    // The limits of a signed 32-bit number, also after rounding.
    ok("ru largest", "ru_RU", QStringLiteral("2147483647"), kMax);
    ok("ru largest grouped", "ru_RU", QStringLiteral("2 147 483 647"), kMax);
    ok("ru smallest", "ru_RU", QStringLiteral("-2147483648"), kMin);
    ok("ru rounds down to largest", "ru_RU", QStringLiteral("2147483646,5"), 2147483646);
    ok("ru smallest with even half", "ru_RU", QStringLiteral("-2147483648,5"), kMin);
    bad("ru one above largest", "ru_RU", QStringLiteral("2147483648"));
    bad("ru one below smallest", "ru_RU", QStringLiteral("-2147483649"));
    bad("ru rounds above largest", "ru_RU", QStringLiteral("2147483647,5"));
    bad("ru rounds below smallest", "ru_RU", QStringLiteral("-2147483648,51"));
    bad("ru huge", "ru_RU", QStringLiteral("99999999999999999999999999999"));
    bad("ru huge negative", "ru_RU", QStringLiteral("-99999999999999999999999999999,5"));

    // What the locale's own number parser would take but no pupil means as a bound.
    bad("ru empty", "ru_RU", QString());
    bad("ru blanks only", "ru_RU", QStringLiteral("   "));
    bad("ru sign only", "ru_RU", QStringLiteral("-"));
    bad("ru mark only", "ru_RU", QStringLiteral(","));
    bad("ru exponent", "ru_RU", QStringLiteral("1e9"));
    bad("ru capital exponent", "ru_RU", QStringLiteral("1E3"));
    bad("ru inf", "ru_RU", QStringLiteral("inf"));
    bad("ru negative inf", "ru_RU", QStringLiteral("-inf"));
    bad("ru nan", "ru_RU", QStringLiteral("NaN"));
    bad("ru infinity sign", "ru_RU", QStringLiteral("∞"));
    bad("ru hexadecimal", "ru_RU", QStringLiteral("0x10"));
    bad("ru letters", "ru_RU", QStringLiteral("десять"));
    bad("ru trailing letters", "ru_RU", QStringLiteral("12abc"));
    bad("ru trailing sign", "ru_RU", QStringLiteral("5-"));
    bad("ru double sign", "ru_RU", QStringLiteral("--5"));

    // en_US: comma groups, full stop is the decimal mark.
    ok("en grouped", "en_US", QStringLiteral("1,000,000"), 1000000);
    ok("en half to even", "en_US", QStringLiteral("2.5"), 2);
    ok("en grouped with fraction", "en_US", QStringLiteral("-1,234.51"), -1235);
    ok("en largest grouped", "en_US", QStringLiteral("2,147,483,647"), kMax);
    bad("en comma fraction", "en_US", QStringLiteral("1,5"));
    bad("en group of two", "en_US", QStringLiteral("1,00"));
    bad("en blank does not group", "en_US", QStringLiteral("1 000"));
    bad("en trailing group separator", "en_US", QStringLiteral("1,"));
    bad("en exponent", "en_US", QStringLiteral("1e9"));
    bad("en inf", "en_US", QStringLiteral("inf"));

    // de_DE: full stop groups, comma is the decimal mark.
    ok("de grouped", "de_DE", QStringLiteral("1.500"), 1500);
    ok("de fraction", "de_DE", QStringLiteral("1,5"), 2);
    bad("de full stop fraction", "de_DE", QStringLiteral("1.5"));
}

void WindowsLogicTest::parseBound()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(qint32, value);

    const std::optional<qint32> bound = ParseBound(text, QLocale(locale));
    QCOMPARE(bound.has_value(), accepted);
    if (accepted)
        QCOMPARE(*bound, value);
}

// Whatever the locale itself writes, grouped or not, reads back as the same number.
void WindowsLogicTest::localeTextsReadBack_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<qint32>("value");

    for (const char *locale : {"ru_RU", "en_US", "de_DE", "fr_FR", "C"}) {
        for (const qint32 value : {kMin, -1000000, -1, 0, 999, 1000, 123456789, kMax}) {
            QTest::addRow("%s %d", locale, value) << QString::fromLatin1(locale) << value;
        }
    }
}

void WindowsLogicTest::localeTextsReadBack()
{
    QFETCH(QString, locale);
    QFETCH(qint32, value);

    QLocale grouped(locale);
    grouped.setNumberOptions(QLocale::DefaultNumberOptions);
    QLocale plain(locale);
    plain.setNumberOptions(QLocale::OmitGroupSeparator);

    QCOMPARE(ParseBound(grouped.toString(value), grouped), std::optional<qint32>(value));
    QCOMPARE(ParseBound(plain.toString(value), grouped), std::optional<qint32>(value));
    QCOMPARE(ParseBound(QString::number(value), grouped), std::optional<qint32>(value));
}

void WindowsLogicTest::windowSizes()
{
    // 15 twips to the pixel at 96 DPI.
    QCOMPARE(TwipsToPixels(6615, 96), 441);
    QCOMPARE(TwipsToPixels(3750, 96), 250);
    QCOMPARE(TwipsToPixels(4815, 96), 321);
    QCOMPARE(TwipsToPixels(3015, 96), 201);
    QCOMPARE(TwipsToRect(720, 615, 735, 285, 96, 96), QRect(48, 41, 49, 19));
    // Twice the DPI, twice the pixels.
    QCOMPARE(TwipsToRect(720, 615, 735, 285, 192, 192), QRect(96, 82, 98, 38));
}

void WindowsLogicTest::twipsKeepProportions_data()
{
    QTest::addColumn<qreal>("dpi");
    for (const qreal dpi : {72.0, 96.0, 120.0, 144.0, 168.0, 192.0})
        QTest::addRow("%g dpi", dpi) << dpi;
}

void WindowsLogicTest::twipsKeepProportions()
{
    QFETCH(qreal, dpi);

    // The start window's two frames and a bound row: every edge is within half a pixel of its
    // exact place, so no control drifts as the DPI grows.
    const QList<QList<int>> controls = {
        {120, 120, 3135, 3495}, {3360, 120, 3135, 2895}, {720, 615, 735, 285},
        {1695, 645, 180, 195},  {1950, 615, 735, 285},   {5280, 3240, 1215, 375},
    };
    for (const QList<int> &c : controls) {
        const QRect r = TwipsToRect(c[0], c[1], c[2], c[3], dpi, dpi);
        const qreal scale = dpi / kTwipsPerInch;
        QVERIFY(qAbs(r.left() - c[0] * scale) <= 0.5);
        QVERIFY(qAbs(r.top() - c[1] * scale) <= 0.5);
        QVERIFY(qAbs(r.left() + r.width() - (c[0] + c[2]) * scale) <= 0.5);
        QVERIFY(qAbs(r.top() + r.height() - (c[1] + c[3]) * scale) <= 0.5);
    }

    // Controls that meet in twips meet in pixels, whatever the rounding does to each size.
    const QRect first = TwipsToRect(100, 100, 335, 255, dpi, dpi);
    const QRect second = TwipsToRect(435, 355, 335, 255, dpi, dpi);
    QCOMPARE(first.right() + 1, second.left());
    QCOMPARE(first.bottom() + 1, second.top());
}

QTEST_GUILESS_MAIN(WindowsLogicTest)
#include "tst_windows_logic.moc"
