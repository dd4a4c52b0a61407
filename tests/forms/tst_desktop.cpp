#include "Fakes.h"
#include "FontFit.h"
#include "frmFinish.h"
#include "frmStart.h"
#include "mdMain.h"

#include <QtTest>
#include <QtWidgets>

#include <cmath>

namespace {

// Drawn again with room to spare (split as a centred text splits it; buttons centre theirs
// down), a control whose caption shows whole paints nothing outside its own rectangle.
bool DrawnWhole(QWidget *control)
{
    const QRect r = control->geometry();
    const auto *label = qobject_cast<QLabel *>(control);
    const int extra = 200, left = label && label->alignment() & Qt::AlignHCenter ? extra / 2 : 0;
    control->resize(r.width() + extra, r.height() + extra);
    QImage shot = control->grab().toImage();
    control->setGeometry(r);
    QImage blank(shot.size(), shot.format());
    blank.fill(shot.pixel(shot.width() - 1, shot.height() - 1));
    QPainter(&shot).drawImage(QPoint(left, label ? 0 : extra / 2), blank.copy(QRect({}, r.size())));
    return shot == blank;
}

// A text box holds a line of its font inside its frame; a frame's title and a push button's
// caption get what the style says they need.
bool Fits(QWidget *c)
{
    const QFontMetrics metrics = c->fontMetrics();
    if (qobject_cast<QLineEdit *>(c))
        return c->height() - 2 * c->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) >=
               metrics.height();
    if (auto *frame = qobject_cast<QGroupBox *>(c))
        return metrics.horizontalAdvance(frame->title()) + metrics.height() <= frame->width();
    if (auto *button = qobject_cast<QPushButton *>(c))
        return button->text().isEmpty() || button->sizeHint().width() <= button->width();
    return DrawnWhole(c);
}

// Every visible control of the window but one that fits itself shows its content whole, no two
// side by side overlap or touch, and the window fits the screen.
void CheckWindow(QWidget &window, const QWidget *ownFit = nullptr)
{
    QVERIFY(window.width() <= 1280 && window.height() <= 1024);
    const QList<QWidget *> containers = window.findChildren<QWidget *>() << &window;
    for (QWidget *container : containers) {
        const auto children = container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *c : children) {
            if (!c->isVisibleTo(&window) || c == ownFit)
                continue;
            const QString what = c->property("text").toString() + c->property("title").toString();
            QVERIFY2(Fits(c), qPrintable(what));
            for (QWidget *other : children) {
                if (other != c && other->isVisibleTo(&window))
                    QVERIFY2(!c->geometry().adjusted(-1, -1, 1, 1).intersects(other->geometry()),
                             qPrintable(what));
            }
        }
    }
}

// WCAG 2's relative luminance and contrast.
double Luminance(const QColor &c)
{
    const auto linear = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}
double Contrast(const QColor &a, const QColor &b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

} // namespace

class DesktopTest : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_configHome.isValid()); // no stored choices
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configHome.path()));
        mdMain::UseCalculatorProbe(std::make_unique<FakeCalculatorProbe>());
    }

    // A text box too low for its font's line does not fit, however wide; at its own height it does.
    void textBoxNeedsItsFontsHeight()
    {
        QLineEdit box(QStringLiteral("10"));
        box.setFont(QFont(QStringLiteral("DejaVu Sans"), 20));
        box.resize(400, 20);
        QVERIFY(!ContentFits(box));
        box.resize(400, box.sizeHint().height());
        QVERIFY(ContentFits(box));
    }

    void fontsFit_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<int>("points");
        for (const char *family : {"DejaVu Sans", "Liberation Sans", "Noto Sans"}) {
            for (const int points : {9, 10, 11, 12, 14, 16, 20})
                QTest::addRow("%s %d", family, points) << QString(family) << points;
        }
    }

    // The start window, and the results window after twelve wrong answers (the longest count
    // sentence), at the fonts of pupils' desktops.
    void fontsFit()
    {
        QFETCH(QString, family);
        QFETCH(int, points);
        QApplication::setFont(QFont(family, points));
        QCOMPARE(QFontInfo(QApplication::font()).family(), family);
        frmStart start;
        CheckWindow(start);
        auto wrong = std::make_unique<ScriptedDialogs>();
        wrong->answers = QStringList(12, QStringLiteral("-1"));
        mdMain::UseDialogs(std::move(wrong));
        frmFinish finish;
        QVERIFY(finish.loadAndShow());
        QCOMPARE(finish.Label2->text(), QStringLiteral("Ты не ответил верно ни на один вопрос"));
        CheckWindow(finish, finish.Label1); // the name shrinks its own font
    }

    void bannersRead_data()
    {
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QColor>("text");
        QTest::addRow("Qt's own") << QColor(0xef, 0xef, 0xef) << QColor(Qt::black);
        QTest::addRow("darker") << QColor(0x22, 0x20, 0x20) << QColor(Qt::white);
        QTest::addRow("Breeze Dark") << QColor(0x31, 0x36, 0x3b) << QColor(0xef, 0xf0, 0xf1);
        QTest::addRow("high contrast black") << QColor(Qt::black) << QColor(Qt::white);
        QTest::addRow("high contrast white") << QColor(Qt::white) << QColor(Qt::black);
    }

    // Every label at 4.5 : 1 against its background, both banners included; where the design's
    // blues reach that they stay, elsewhere they stay blue.
    void bannersRead()
    {
        QFETCH(QColor, window);
        QFETCH(QColor, text);
        QPalette palette = QApplication::style()->standardPalette();
        palette.setColor(QPalette::Window, window);
        palette.setColor(QPalette::WindowText, text);
        QApplication::setPalette(palette);
        const auto restore =
            qScopeGuard([] { QApplication::setPalette(QApplication::style()->standardPalette()); });
        frmFinish f;
        frmStart s;
        for (QLabel *label : f.findChildren<QLabel *>() + s.findChildren<QLabel *>()) {
            const double contrast = Contrast(label->palette().color(QPalette::WindowText),
                                             label->palette().color(QPalette::Window));
            QVERIFY2(contrast >= 4.5, qPrintable(label->text() + u' ' + QString::number(contrast)));
        }
        const QColor pass = f.Label4[0]->palette().color(QPalette::WindowText);
        const QColor fail = f.Label4[1]->palette().color(QPalette::WindowText);
        if (window.lightness() > 128) // the light palettes
            QCOMPARE(std::pair(pass, fail), std::pair(QColor(0, 0, 255), QColor(0, 0, 128)));
        for (const QColor &c : {pass, fail})
            QVERIFY(c.red() == c.green() && c.blue() > c.red());
    }

    // The running program names the menu entry it is installed with.
    void desktopFileName()
    {
        const QStringList entries = QDir(QStringLiteral(VORPA_DATA_DIR)).entryList({"*.desktop"});
        QCOMPARE(entries.size(), 1);
        frmStart w;
        QCOMPARE(QGuiApplication::desktopFileName() + QStringLiteral(".desktop"), entries.first());
    }

  private:
    QTemporaryDir m_configHome;
};

QTEST_MAIN(DesktopTest)
#include "tst_desktop.moc"
