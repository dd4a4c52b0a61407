#include "BoundParser.h"
#include "Twips.h"

#include <QTest>

#include <limits>
#include <optional>

namespace {

constexpr qint32 kMin = std::numeric_limits<qint32>::min();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();

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
    void twipsKeepProportions_data();
    void twipsKeepProportions();
};

void WindowsLogicTest::parseBound_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<qint32>>("value");

    const auto row = [](const char *locale, const QString &text, std::optional<qint32> value) {
        QTest::addRow("%s \"%s\"", locale, qPrintable(text))
            << QString::fromLatin1(locale) << text << value;
    };
    const std::nullopt_t bad = std::nullopt;

    // ru_RU: comma is the decimal mark, a non-breaking space groups; a pupil types a blank.
    row("ru_RU", "-7", -7);
    row("ru_RU", "−7", -7); // typographic minus
    row("ru_RU", " \t15\u00A0", 15);
    row("ru_RU", "0000000000000000000000000012", 12);
    row("ru_RU", "12\u00A0345", 12345);
    row("ru_RU", "1 000 000", 1000000);
    row("ru_RU", "1 00", bad);
    row("ru_RU", "1000 000", bad);
    row("ru_RU", "1  000", bad);
    row("ru_RU", "- 5", bad);
    // Fractions round to the nearest integer, halves to the even one, alike on both sides of 0.
    row("ru_RU", "2,5", 2);
    row("ru_RU", "3,5", 4);
    row("ru_RU", "2,5000001", 3);
    row("ru_RU", "-2,5", -2);
    row("ru_RU", "-3,5", -4);
    row("ru_RU", ",5", 0);
    row("ru_RU", "5,", 5);
    row("ru_RU", "1 000,7", 1001);
    row("ru_RU", "2.5", bad);
    row("ru_RU", "1,2,3", bad);
    // The 32-bit limits, also after rounding; digits past them must not overflow.
    row("ru_RU", "2 147 483 647", kMax);
    row("ru_RU", "-2147483648", kMin);
    row("ru_RU", "2147483646,5", 2147483646);
    row("ru_RU", "-2147483648,5", kMin);
    row("ru_RU", "2147483648", bad);
    row("ru_RU", "-2147483649", bad);
    row("ru_RU", "2147483647,5", bad);
    row("ru_RU", "-99999999999999999999999999999,5", bad);
    // What the locale's own parser takes, or nothing at all, but no pupil means as a bound.
    row("ru_RU", "", bad);
    row("ru_RU", "   ", bad);
    row("ru_RU", "-", bad);
    row("ru_RU", ",", bad);
    row("ru_RU", "1e9", bad);
    row("ru_RU", "inf", bad);
    row("ru_RU", "NaN", bad);
    row("ru_RU", "0x10", bad);
    row("ru_RU", "12abc", bad);
    row("ru_RU", "--5", bad);
    // en_US: comma groups, full stop is the decimal mark.
    row("en_US", "1,000,000", 1000000);
    row("en_US", "-1,234.51", -1235);
    row("en_US", "2.5", 2);
    row("en_US", "1,5", bad);
    row("en_US", "1 000", bad);
    row("en_US", "1,", bad);
    row("en_US", "1e9", bad);
    // de_DE: full stop groups.
    row("de_DE", "1.500", 1500);
    row("de_DE", "1.5", bad);
}

void WindowsLogicTest::parseBound()
{
    QFETCH(QString, locale);
    QFETCH(QString, text);
    QFETCH(std::optional<qint32>, value);
    QCOMPARE(ParseBound(text, QLocale(locale)), value);
}

// Whatever a locale itself writes, grouped or not, reads back as the same number.
void WindowsLogicTest::localeTextsReadBack_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<qint32>("value");
    for (const char *locale : {"ru_RU", "en_US", "de_DE", "fr_FR", "C"}) {
        for (const qint32 value : {kMin, -1000000, -1, 0, 999, 1000, 123456789, kMax})
            QTest::addRow("%s %d", locale, value) << QString::fromLatin1(locale) << value;
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
    QCOMPARE(ParseBound(grouped.toString(value), grouped), value);
    QCOMPARE(ParseBound(plain.toString(value), grouped), value);
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
    if (dpi == 96) {
        // 15 twips to the pixel: the start window's client area and a bound field.
        QCOMPARE(QSize(TwipsToPixels(6615, dpi), TwipsToPixels(3750, dpi)), QSize(441, 250));
        QCOMPARE(TwipsToRect(720, 615, 735, 285, dpi, dpi), QRect(48, 41, 49, 19));
    }
    // Every edge is within half a pixel of its exact place, so nothing drifts as DPI grows...
    const QRect r = TwipsToRect(1695, 645, 180, 195, dpi, dpi);
    const qreal scale = dpi / kTwipsPerInch;
    QVERIFY(qAbs(r.left() - 1695 * scale) <= 0.5 && qAbs(r.top() - 645 * scale) <= 0.5);
    QVERIFY(qAbs(r.right() + 1 - 1875 * scale) <= 0.5 && qAbs(r.bottom() + 1 - 840 * scale) <= 0.5);
    // ...and controls that meet in twips still meet in pixels.
    const QRect first = TwipsToRect(100, 100, 335, 255, dpi, dpi);
    const QRect second = TwipsToRect(435, 355, 335, 255, dpi, dpi);
    QCOMPARE(first.right() + 1, second.left());
    QCOMPARE(first.bottom() + 1, second.top());
}

QTEST_GUILESS_MAIN(WindowsLogicTest)
#include "tst_windows_logic.moc"
