#include "BoundParser.h"
#include "Twips.h"

#include <QTest>

#include <limits>
#include <optional>

// Reading the bound fields under the pupil's regional settings, and laying out in twips.
class WindowsLogicTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void parseBound_data();
    void parseBound()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        QTEST(ParseBound(text, QLocale(locale)), "value");
    }

    // Edges are rounded, not sizes, so controls that meet in twips still meet in pixels.
    void twipsKeepProportions()
    {
        const QList<std::pair<qreal, QRect>> boundFields = {{96, QRect(48, 41, 49, 19)},
                                                            {144, QRect(72, 62, 74, 28)}};
        for (const auto &[dpi, boundField] : boundFields) {
            QCOMPARE(TwipsToRect(720, 615, 735, 285, dpi, dpi), boundField);
            const QRect first = TwipsToRect(100, 100, 340, 340, dpi, dpi);
            QCOMPARE(first.bottomRight() + QPoint(1, 1),
                     TwipsToRect(440, 440, 340, 340, dpi, dpi).topLeft());
        }
    }
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
    constexpr qint32 kMin = std::numeric_limits<qint32>::min();
    constexpr qint32 kMax = std::numeric_limits<qint32>::max();

    // ru_RU: a non-breaking space groups, and so does the blank a pupil types; comma is the
    // decimal mark. Fractions round to the nearest integer, halves to the even one.
    row("ru_RU", " \t12\u00A0345\u00A0", 12345);
    row("ru_RU", "−1 000 000", -1000000); // typographic minus
    row("ru_RU", "1\u202F000\u2009000", 1000000); // narrow and thin spaces
    row("ru_RU", "2,5", 2);
    row("ru_RU", "3,5", 4);
    row("ru_RU", "2,5000001", 3);
    row("ru_RU", "-2147483648,5", kMin);
    for (const char *text :
         {"", "-", ",", "1e9", "inf", "0x10", "12abc", "--5", "1,2,3", "2.5", "1 00", "2147483648",
          "-2147483649", "2147483647,5", "-99999999999999999999999999999"})
        row("ru_RU", text, std::nullopt);
    // en_US: comma groups, full stop is the decimal mark.
    row("en_US", "-1,234.51", -1235);
    row("en_US", "2.5", 2);
    row("en_US", "1,5", std::nullopt);
    // Indian grouping: three digits, then twos. Arabic digits, marks and decimal mark.
    row("hi_IN", "2,14,74,83,647", kMax);
    row("en_IN", "-1,00,000.5", -100000);
    row("en_IN", "1,000,000", std::nullopt);
    row("ar_EG", "\u061C-\u0663\u066B\u0665", -4);
    row("ru_RU", "-0,7", -1);
    // Whatever a locale itself writes, grouped or not, reads back.
    for (const char *locale : {"ru_RU", "en_US", "fr_FR", "hi_IN", "ar_EG", "fa_IR", "he_IL"}) {
        QLocale plain(locale);
        plain.setNumberOptions(QLocale::OmitGroupSeparator);
        for (const qint32 value : {kMin, -1234567, kMax}) {
            row(locale, QLocale(locale).toString(value), value);
            row(locale, plain.toString(value), value);
        }
    }
}

QTEST_GUILESS_MAIN(WindowsLogicTest)
#include "tst_windows_logic.moc"
