#include "BoundParser.h"
#include "Twips.h"

#include <QTest>

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

// Reading the bound fields under the pupil's regional settings, and laying out in twips.
class FormsLogicTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void parseBound()
    {
        const auto check = [](const char *locale, const QString &text, const QString &expected) {
            const std::optional<qint32> read = ParseBound(text, QLocale(locale));
            const QString name = u"%1 \"%2\": "_s.arg(QLatin1StringView(locale), text);
            QCOMPARE(name + (read ? QString::number(*read) : u"none"_s), name + expected);
        };
        constexpr qint32 kMin = std::numeric_limits<qint32>::min();
        constexpr qint32 kMax = std::numeric_limits<qint32>::max();

        // ru_RU groups with a non-breaking space, and any other blank groups too; comma is the
        // decimal mark. Fractions round to the nearest integer, halves to the even one.
        check("ru_RU", " \t12\u00A0345\u00A0", "12345");
        check("ru_RU", "−1 000 000", "-1000000");         // typographic minus
        check("ru_RU", "1\u202F000\u2009000", "1000000"); // narrow and thin spaces
        check("ru_RU", "2,5", "2");
        check("ru_RU", "3,5", "4");
        check("ru_RU", "2,5000001", "3");
        check("ru_RU", "-0,7", "-1");
        check("ru_RU", "-2147483648,5", "-2147483648");
        check("ru_RU", ",7", "1"); // no whole part: a fraction all the same
        check("ru_RU", "-,5", "0");
        check("ru_RU", "-,51", "-1");
        // Blanks around the number, before and after either kind of number.
        check("ru_RU", "\t-3,5 ", "-4");
        check("ru_RU", " ,5\u00A0", "0");
        check("ru_RU", "\u00A0 17\t", "17");
        for (const char *text : {"", "-", ",", "-,", ", 5", "1e9", "inf", "0x10", "12abc", "--5",
                                 "1,2,3", "2.5", "1 00", "2147483648", "-2147483649",
                                 "2147483647,5", "-99999999999999999999999999999"})
            check("ru_RU", text, "none");
        // en_US: comma groups, full stop is the decimal mark.
        check("en_US", "-1,234.51", "-1235");
        check("en_US", "1,5", "none");
        check("en_US", ".5", "0");
        check("en_US", " -.7\t", "-1");
        check("en_US", "\t2.5 ", "2");
        check("en_US", " 12 ", "12");
        // Indian grouping: three digits, then twos. Arabic digits, marks and decimal mark.
        check("hi_IN", "2,14,74,83,647", "2147483647");
        check("en_IN", "-1,00,000.5", "-100000");
        check("en_IN", "1,000,000", "none");
        check("ar_EG", "\u061C-\u0663\u066B\u0665", "-4");
        // Whatever a locale itself writes, grouped or not, reads back; so does a fraction in its
        // digits and marks with no whole part.
        for (const char *locale : {"ru_RU", "en_US", "fr_FR", "hi_IN", "ar_EG", "fa_IR", "he_IL"}) {
            const QLocale own(locale);
            QLocale plain(locale);
            plain.setNumberOptions(QLocale::OmitGroupSeparator);
            for (const qint32 value : {kMin, kMax}) {
                check(locale, own.toString(value), QString::number(value));
                check(locale, plain.toString(value), QString::number(value));
            }
            check(locale, own.decimalPoint() + own.toString(7), "1");
            check(locale, own.negativeSign() + own.decimalPoint() + own.toString(5), "0");
            check(locale, own.negativeSign() + own.decimalPoint() + own.toString(6), "-1");
        }
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

QTEST_GUILESS_MAIN(FormsLogicTest)
#include "tst_forms_logic.moc"
