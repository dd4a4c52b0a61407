#include "CalculatorProbe.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// One window the test puts on the server, and how.
struct WindowPlan
{
    QByteArray wmClass; // raw WM_CLASS; null for none
    bool mapped = true;
    bool framed = false; // put inside a mapped frame window without WM_CLASS
    bool listed = false; // named in _NET_CLIENT_LIST, as a window manager would
};

} // namespace

Q_DECLARE_METATYPE(WindowPlan)

// Runs the system probe against a private Xvfb server on which the test makes the windows.
class CalculatorX11Test : public QObject
{
    Q_OBJECT

  private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void seesCalculatorWindows_data();
    void seesCalculatorWindows();

  private:
    xcb_window_t createWindow(xcb_window_t parent);
    xcb_atom_t atom(const char *name);
    void sync();

    QProcess m_xvfb;
    xcb_connection_t *m_connection = nullptr;
    xcb_screen_t *m_screen = nullptr;
    xcb_atom_t m_clientList = XCB_ATOM_NONE;
    std::vector<xcb_window_t> m_made; // by the current row, parents before children
    std::unique_ptr<CalculatorProbe> m_probe;
};

void CalculatorX11Test::initTestCase()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        QSKIP("Xvfb is not installed");

    // Xvfb picks a free display itself and writes its number to stdout once it accepts
    // clients, so there is neither a race for the number nor a guess at start-up time.
    m_xvfb.setProgram(xvfb);
    m_xvfb.setArguments({QStringLiteral("-displayfd"), QStringLiteral("1"),
                         QStringLiteral("-nolisten"), QStringLiteral("tcp"),
                         QStringLiteral("-screen"), QStringLiteral("0"),
                         QStringLiteral("320x240x24")});
    m_xvfb.setProcessChannelMode(QProcess::SeparateChannels);
    m_xvfb.start();
    QVERIFY2(m_xvfb.waitForStarted(10000), qPrintable(m_xvfb.errorString()));
    QByteArray number;
    while (!number.endsWith('\n') && m_xvfb.waitForReadyRead(20000))
        number += m_xvfb.readAllStandardOutput();
    QVERIFY2(number.endsWith('\n'), m_xvfb.readAllStandardError().constData());
    const QByteArray display = ':' + number.trimmed();

    m_connection = xcb_connect(display.constData(), nullptr);
    QVERIFY(!xcb_connection_has_error(m_connection));
    m_screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    m_clientList = atom("_NET_CLIENT_LIST");

    // The probe opens its own connection to $DISPLAY: there is no QGuiApplication here.
    qputenv("DISPLAY", display);
    qunsetenv("WAYLAND_DISPLAY");
    m_probe = MakeSystemCalculatorProbe(QStringLiteral("xcb"));
    QVERIFY(m_probe);
    QVERIFY(!m_probe->CalculatorWindowOpen());
}

void CalculatorX11Test::cleanupTestCase()
{
    m_probe.reset();
    if (m_connection)
        xcb_disconnect(m_connection);
    if (m_xvfb.state() != QProcess::NotRunning) {
        m_xvfb.terminate();
        if (!m_xvfb.waitForFinished(10000)) {
            m_xvfb.kill();
            m_xvfb.waitForFinished(10000);
        }
    }
}

// Runs after every row, passed or failed, so no row sees another's windows.
void CalculatorX11Test::cleanup()
{
    if (!m_connection)
        return;
    for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
        xcb_destroy_window(m_connection, *it);
    m_made.clear();
    xcb_delete_property(m_connection, m_screen->root, m_clientList);
    sync();
}

xcb_window_t CalculatorX11Test::createWindow(xcb_window_t parent)
{
    const xcb_window_t window = xcb_generate_id(m_connection);
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, window, parent, 0, 0, 100, 100, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, m_screen->root_visual, 0, nullptr);
    return window;
}

xcb_atom_t CalculatorX11Test::atom(const char *name)
{
    const auto cookie = xcb_intern_atom(m_connection, false, std::strlen(name), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
    const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return result;
}

// Waits until the server has carried out every request sent so far.
void CalculatorX11Test::sync()
{
    std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
}

void CalculatorX11Test::seesCalculatorWindows_data()
{
    QTest::addColumn<QList<WindowPlan>>("windows");
    QTest::addColumn<bool>("seen");

    const QByteArray calculator("gnome-calculator\0Gnome-calculator\0", 34);
    const QByteArray terminal("xterm\0XTerm\0", 12);
    const auto plan = [](const QByteArray &wmClass, bool mapped, bool framed, bool listed) {
        return WindowPlan{wmClass, mapped, framed, listed};
    };

    QTest::newRow("calculator window") << QList{plan(calculator, true, false, false)} << true;
    QTest::newRow("other programs only")
        << QList{plan(terminal, true, false, false), plan(QByteArray(), true, false, false)}
        << false;
    QTest::newRow("named by its class only")
        << QList{plan(QByteArray("main\0SpeedCrunch\0", 17), true, false, false)} << true;
    QTest::newRow("unmapped calculator window: a toolkit's hidden leader")
        << QList{plan(calculator, false, false, false)} << false;
    QTest::newRow("calculator inside a window manager's frame")
        << QList{plan(terminal, true, true, false), plan(calculator, true, true, false)} << true;
    QTest::newRow("unmapped inside a frame")
        << QList{plan(calculator, false, true, false)} << false;
    QTest::newRow("minimised calculator in the window manager's list")
        << QList{plan(terminal, true, false, true), plan(calculator, false, false, true)} << true;
    QTest::newRow("window manager's list without a calculator")
        << QList{plan(terminal, true, false, true)} << false;
}

void CalculatorX11Test::seesCalculatorWindows()
{
    QFETCH(QList<WindowPlan>, windows);
    QFETCH(bool, seen);

    std::vector<xcb_window_t> listed;
    for (const WindowPlan &w : std::as_const(windows)) {
        xcb_window_t parent = m_screen->root;
        if (w.framed) {
            parent = createWindow(m_screen->root);
            xcb_map_window(m_connection, parent);
            m_made.push_back(parent);
        }
        const xcb_window_t window = createWindow(parent);
        if (!w.wmClass.isNull())
            xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS,
                                XCB_ATOM_STRING, 8, w.wmClass.size(), w.wmClass.constData());
        if (w.mapped)
            xcb_map_window(m_connection, window);
        if (w.listed)
            listed.push_back(window);
        m_made.push_back(window);
    }
    if (!listed.empty())
        xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, m_screen->root, m_clientList,
                            XCB_ATOM_WINDOW, 32, listed.size(), listed.data());
    sync();

    QCOMPARE(m_probe->CalculatorWindowOpen(), seen);

    // Closing the windows must be noticed by the same probe.
    cleanup();
    QVERIFY(!m_probe->CalculatorWindowOpen());
}

QTEST_GUILESS_MAIN(CalculatorX11Test)
#include "tst_calculator_x11.moc"
