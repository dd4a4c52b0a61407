#include "SystemCalculatorProbe.h"

#include <QProcess>
#include <QScopeGuard>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

// The system probe against a private Xvfb server, on which the test makes a calculator window.
class CalculatorX11Test : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void seesAMappedCalculatorWindowUntilItGoes()
    {
        // Xvfb picks a free display itself and writes its number once it accepts clients.
        QProcess xvfb;
        const auto stop = qScopeGuard([&] { xvfb.kill(), xvfb.waitForFinished(); });
        xvfb.start("Xvfb", {"-displayfd", "1", "-nolisten", "tcp", "-screen", "0", "320x240x24"});
        if (!xvfb.waitForStarted())
            QSKIP("Xvfb is not installed");
        QByteArray number;
        while (!number.endsWith('\n') && xvfb.waitForReadyRead(20000))
            number += xvfb.readAllStandardOutput();
        QVERIFY2(number.endsWith('\n'), xvfb.readAllStandardError().constData());
        const QByteArray display = ':' + number.trimmed();
        const std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> x(
            xcb_connect(display.constData(), nullptr), xcb_disconnect);
        QVERIFY(!xcb_connection_has_error(x.get()));
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data;

        // The probe opens its own connection to $DISPLAY; there is no QGuiApplication here.
        qputenv("DISPLAY", display);
        qunsetenv("WAYLAND_DISPLAY");
        const std::unique_ptr<CalculatorProbe> probe = MakeSystemCalculatorProbe("xcb");
        QVERIFY(probe && !probe->CalculatorWindowOpen());
        // Asks once the server has carried out every request sent so far.
        const auto seen = [&] {
            std::free(xcb_get_input_focus_reply(x.get(), xcb_get_input_focus(x.get()), nullptr));
            return probe->CalculatorWindowOpen();
        };

        const xcb_window_t window = xcb_generate_id(x.get());
        xcb_create_window(x.get(), XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 100, 100, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
        const char wmClass[] = "gnome-calculator\0Gnome-calculator";
        xcb_change_property(x.get(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS,
                            XCB_ATOM_STRING, 8, sizeof wmClass, wmClass);
        QVERIFY2(!seen(), "an unmapped window, such as a toolkit's leader");
        xcb_map_window(x.get(), window);
        QVERIFY(seen());
        xcb_destroy_window(x.get(), window);
        QVERIFY(!seen());
    }
};

QTEST_GUILESS_MAIN(CalculatorX11Test)
#include "tst_calculator_x11.moc"
