#include "SystemCalculatorProbe.h"

#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

// The system probe against a private X server (CTest runs the test under xvfb-run), on which the
// test makes a calculator window.
class CalculatorX11Test : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void seesAMappedCalculatorWindowUntilItGoes()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("DISPLAY"), "run it on an X server of its own");
        const std::unique_ptr<xcb_connection_t, void (*)(xcb_connection_t *)> x(
            xcb_connect(nullptr, nullptr), xcb_disconnect);
        QVERIFY(!xcb_connection_has_error(x.get()));
        const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(x.get())).data;

        // The probe opens its own connection to $DISPLAY; there is no QGuiApplication here.
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
