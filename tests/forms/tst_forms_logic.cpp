#include "BoundParser.h"
#include "StartRules.h"
#include "Twips.h"

#include <QTest>

#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The warning about a bad bound in the field named, with the limits as the locale writes them.
QString Warning(const QString &field, const QString &limits)
{
    return u"В поле «%1» нужно написать целое число от %2."_s.arg(field, limits);
}

} // namespace

// Reading the bound fields under the pupil's regional settings, the start window's rules for
// its bounds, and laying out in twips.
class FormsLogicTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void parseBound_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const auto row = [](const char *name, const char *locale, const QString &text,
                            const QString &expected) {
            QTest::newRow(name) << QString::fromLatin1(locale) << text << expected;
        };
        // ru_RU groups with a non-breaking space, and any other blank groups too; comma is the
        // decimal mark. Fractions round to the nearest integer, halves to the even one.
        row("ru_RU grouped", "ru_RU", " \t12\u00A0345\u00A0", "12345");
        row("ru_RU typographic minus", "ru_RU", "−1 000 000", "-1000000");
        row("ru_RU narrow and thin spaces", "ru_RU", "1\u202F000\u2009000", "1000000");
        row("ru_RU 2,5", "ru_RU", "2,5", "2");
        row("ru_RU 3,5", "ru_RU", "3,5", "4");
        row("ru_RU 2,5000001", "ru_RU", "2,5000001", "3");
        row("ru_RU -0,7", "ru_RU", "-0,7", "-1");
        row("ru_RU lowest and a half", "ru_RU", "-2147483648,5", "-2147483648");
        row("ru_RU ,7", "ru_RU", ",7", "1"); // no whole part: a fraction all the same
        row("ru_RU -,5", "ru_RU", "-,5", "0");
        row("ru_RU -,51", "ru_RU", "-,51", "-1");
        // Blanks around the number, before and after either kind of number.
        row("ru_RU blanks around -3,5", "ru_RU", "\t-3,5 ", "-4");
        row("ru_RU blanks around ,5", "ru_RU", " ,5\u00A0", "0");
        row("ru_RU blanks around 17", "ru_RU", "\u00A0 17\t", "17");
        for (const char *text : {"", "-", ",", "-,", ", 5", "1e9", "inf", "0x10", "12abc", "--5",
                                 "1,2,3", "2.5", "1 00", "2147483648", "-2147483649",
                                 "2147483647,5", "-99999999999999999999999999999"})
            QTest::addRow("ru_RU rejects \"%s\"", text) << u"ru_RU"_s << text << u"none"_s;
        // en_US: comma groups, full stop is the decimal mark.
        row("en_US grouped fraction", "en_US", "-1,234.51", "-1235");
        row("en_US 1,5", "en_US", "1,5", "none");
        row("en_US .5", "en_US", ".5", "0");
        row("en_US blanks around -.7", "en_US", " -.7\t", "-1");
        row("en_US blanks around 2.5", "en_US", "\t2.5 ", "2");
        row("en_US blanks around 12", "en_US", " 12 ", "12");
        // Indian grouping: three digits, then twos. Arabic digits, marks and decimal mark.
        row("hi_IN highest", "hi_IN", "2,14,74,83,647", "2147483647");
        row("en_IN grouped fraction", "en_IN", "-1,00,000.5", "-100000");
        row("en_IN grouped in threes", "en_IN", "1,000,000", "none");
        row("ar_EG", "ar_EG", "\u061C-\u0663\u066B\u0665", "-4");
        // Whatever a locale itself writes, grouped or not, reads back; so does a fraction in its
        // digits and marks with no whole part.
        for (const char *locale : {"ru_RU", "en_US", "fr_FR", "hi_IN", "ar_EG", "fa_IR", "he_IL"}) {
            const QLocale own(locale);
            QLocale plain(locale);
            plain.setNumberOptions(QLocale::OmitGroupSeparator);
            for (const qint32 value :
                 {std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()}) {
                const QString number = QString::number(value);
                QTest::addRow("%s writes %d", locale, value)
                    << locale << own.toString(value) << number;
                QTest::addRow("%s writes %d ungrouped", locale, value)
                    << locale << plain.toString(value) << number;
            }
            const QString mark = own.decimalPoint(), minus = own.negativeSign();
            QTest::addRow("%s writes ,7", locale) << locale << mark + own.toString(7) << u"1"_s;
            QTest::addRow("%s writes -,5", locale)
                << locale << minus + mark + own.toString(5) << u"0"_s;
            QTest::addRow("%s writes -,6", locale)
                << locale << minus + mark + own.toString(6) << u"-1"_s;
        }
    }

    void parseBound()
    {
        QFETCH(QString, locale);
        QFETCH(QString, text);
        const std::optional<qint32> read = ParseBound(text, QLocale(locale));
        QTEST(read ? QString::number(*read) : u"none"_s, "expected");
    }

    void readBounds_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QString>("expected"); // the four bounds, or the bad field's warning
        const QString en = u"-2,147,483,648 до 2,147,483,647"_s;
        const QString ru = u"-2\u00A0147\u00A0483\u00A0648 до 2\u00A0147\u00A0483\u00A0647"_s;
        QTest::newRow("all four") << u"ru_RU"_s << QStringList{"-5", " 5 ", "1\u00A0000", "0,5"}
                                  << u"-5 5 1000 0"_s;
        QTest::newRow("first empty")
            << u"en_US"_s << QStringList{"", "10", "1", "abc"} << Warning("Первое число, от", en);
        QTest::newRow("second a word") << u"en_US"_s << QStringList{"1", "десять", "1", "abc"}
                                       << Warning("Первое число, до", en);
        QTest::newRow("third with an exponent")
            << u"en_US"_s << QStringList{"1", "10", "1e9", "abc"}
            << Warning("Второе число, от", en);
        QTest::newRow("fourth too large") << u"en_US"_s << QStringList{"1", "10", "1", "2147483648"}
                                          << Warning("Второе число, до", en);
        QTest::newRow("ru_RU grouped by a blank")
            << u"ru_RU"_s << QStringList{"1 000", "10", "1", "abc"}
            << Warning("Второе число, до", ru);
        QTest::newRow("hi_IN") << u"hi_IN"_s << QStringList{"1,00,000", "10", "1", "abc"}
                               << Warning("Второе число, до", "-2,14,74,83,648 до 2,14,74,83,647");
        QTest::newRow("ar_EG") << u"ar_EG"_s
                               << QStringList{"\u061C-\u0661\u066C\u0660\u0660\u0660", "10", "1",
                                              "abc"}
                               << Warning("Второе число, до", "-2147483648 до 2147483647");
    }

    // The first field that holds no bound is named, and nothing is read past it.
    void readBounds()
    {
        QFETCH(QString, locale);
        QFETCH(QStringList, texts);
        const BoundsRead read =
            ReadBounds({texts[0], texts[1], texts[2], texts[3]}, QLocale(locale));
        QStringList bounds;
        for (const qint32 bound : read.bounds)
            bounds << QString::number(bound);
        QTEST(read.badField ? read.warning : bounds.join(u' '), "expected");
    }

    void storedBoundTexts_data()
    {
        QTest::addColumn<QList<qint32>>("stored");
        QTest::addColumn<QString>("shown"); // empty when the fields keep their texts
        QTest::newRow("four zeros") << QList<qint32>{0, 0, 0, 0} << u""_s;
        QTest::newRow("-5 5 0 0") << QList<qint32>{-5, 5, 0, 0} << u"-5 5 0 0"_s;
        QTest::newRow("only the first") << QList<qint32>{3, 0, 0, 0} << u"3 0 0 0"_s;
        QTest::newRow("only the second") << QList<qint32>{0, -1, 0, 0} << u"0 -1 0 0"_s;
        QTest::newRow("only the third") << QList<qint32>{0, 0, 7, 0} << u"0 0 7 0"_s;
        QTest::newRow("only the fourth") << QList<qint32>{0, 0, 0, 7} << u"0 0 0 7"_s;
        QTest::newRow("extremes") << QList<qint32>{std::numeric_limits<qint32>::min(), 256, -1024,
                                                   std::numeric_limits<qint32>::max()}
                                  << u"-2147483648 256 -1024 2147483647"_s;
    }

    // Four zeros mean that nothing is stored; a single zero among the others is a bound.
    void storedBoundTexts()
    {
        QFETCH(QList<qint32>, stored);
        const std::optional<BoundTexts> texts =
            StoredBoundTexts({stored[0], stored[1], stored[2], stored[3]});
        QTEST(texts ? QStringList(texts->begin(), texts->end()).join(u' ') : u""_s, "shown");
    }

    void twipsKeepProportions_data()
    {
        QTest::addColumn<qreal>("dpi");
        QTest::addColumn<QRect>("boundField");
        QTest::newRow("96 DPI") << qreal(96) << QRect(48, 41, 49, 19);
        QTest::newRow("144 DPI") << qreal(144) << QRect(72, 62, 74, 28);
    }

    // Edges are rounded, not sizes, so controls that meet in twips still meet in pixels.
    void twipsKeepProportions()
    {
        QFETCH(qreal, dpi);
        QTEST(TwipsToRect(720, 615, 735, 285, dpi, dpi), "boundField");
        const QRect first = TwipsToRect(100, 100, 340, 340, dpi, dpi);
        QCOMPARE(first.bottomRight() + QPoint(1, 1),
                 TwipsToRect(440, 440, 340, 340, dpi, dpi).topLeft());
    }
};

QTEST_GUILESS_MAIN(FormsLogicTest)
#include "tst_forms_logic.moc"
