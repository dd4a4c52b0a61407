#include "CalculatorMatch.h"
#include "SystemCalculatorProbe.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <vector>

namespace {

const QString kProcRoot = QStringLiteral("/proc");

// Where windows cannot be listed: a calculator process of ours counts as an open calculator.
class ProcCalculatorProbe final : public CalculatorProbe
{
  public:
    bool CalculatorWindowOpen() override { return CalculatorProcessRunning(kProcRoot, getuid()); }
};

// Asks two probes; for X11 programs in a Wayland session, whose X server sees only part of
// the desktop.
class EitherCalculatorProbe final : public CalculatorProbe
{
  public:
    EitherCalculatorProbe(std::unique_ptr<CalculatorProbe> first,
                          std::unique_ptr<CalculatorProbe> second)
        : m_first(std::move(first)), m_second(std::move(second))
    {
    }
    bool CalculatorWindowOpen() override
    {
        return m_first->CalculatorWindowOpen() || m_second->CalculatorWindowOpen();
    }

  private:
    std::unique_ptr<CalculatorProbe> m_first;
    std::unique_ptr<CalculatorProbe> m_second;
};

struct FreeReply
{
    void operator()(void *reply) const { std::free(reply); }
};
template <typename T> using Reply = std::unique_ptr<T, FreeReply>;

// Waits for a reply; an X error (a window that vanished meanwhile) gives an empty reply.
template <typename T, typename Cookie>
Reply<T> Wait(T *(*wait)(xcb_connection_t *, Cookie, xcb_generic_error_t **),
              xcb_connection_t *connection, Cookie cookie)
{
    xcb_generic_error_t *error = nullptr;
    Reply<T> reply(wait(connection, cookie, &error));
    if (error) {
        std::free(error);
        return nullptr;
    }
    return reply;
}

// What one window tells about itself; the requests of a whole batch go out before the first
// reply is awaited, so a batch costs one round trip.
struct WindowFacts
{
    xcb_window_t window = XCB_WINDOW_NONE;
    bool viewable = false;
    bool hasClass = false;
    WindowClass wmClass;
};

// Lists the X11 windows of the desktop, as the window manager sees them if it says so
// (_NET_CLIENT_LIST), otherwise by walking the window tree.
class X11CalculatorProbe final : public CalculatorProbe
{
  public:
    // Uses Qt's own connection when the program runs on X11, else opens one to $DISPLAY.
    static std::unique_ptr<X11CalculatorProbe> Connect()
    {
#if QT_CONFIG(xcb)
        // A plain QCoreApplication (a test, say) has no native interface to ask.
        auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
        if (auto *x11 = app ? app->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
            x11 && x11->connection() && !xcb_connection_has_error(x11->connection()))
            return std::unique_ptr<X11CalculatorProbe>(
                new X11CalculatorProbe(x11->connection(), false));
#endif

        xcb_connection_t *own = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(own)) {
            xcb_disconnect(own);
            return nullptr;
        }
        return std::unique_ptr<X11CalculatorProbe>(new X11CalculatorProbe(own, true));
    }

    ~X11CalculatorProbe() override
    {
        if (m_ownsConnection)
            xcb_disconnect(m_connection);
    }

    bool CalculatorWindowOpen() override
    {
        if (xcb_connection_has_error(m_connection))
            return false;
        const xcb_setup_t *setup = xcb_get_setup(m_connection);
        for (auto it = xcb_setup_roots_iterator(setup); it.rem; xcb_screen_next(&it)) {
            if (ScreenHasCalculator(it.data->root))
                return true;
        }
        return false;
    }

  private:
    X11CalculatorProbe(xcb_connection_t *connection, bool ownsConnection)
        : m_connection(connection), m_ownsConnection(ownsConnection)
    {
        static constexpr char kClientList[] = "_NET_CLIENT_LIST";
        const auto cookie =
            xcb_intern_atom(m_connection, false, sizeof kClientList - 1, kClientList);
        if (const auto reply = Wait(xcb_intern_atom_reply, m_connection, cookie))
            m_clientListAtom = reply->atom;
    }

    bool ScreenHasCalculator(xcb_window_t root)
    {
        // A window manager's list holds exactly the managed client windows, minimised ones too.
        if (const auto clients = ClientList(root))
            return HasCalculator(Inspect(*clients, false), false);

        // No such list: the top-level windows are the root's children, or, under a window
        // manager that puts them in frames, the frames' children. Unmapped windows do not
        // count: toolkits keep a hidden "leader" window with the program's WM_CLASS.
        const std::vector<WindowFacts> top = Inspect(Children(root), true);
        if (HasCalculator(top, true))
            return true;
        std::vector<xcb_window_t> frames;
        for (const WindowFacts &w : top) {
            if (w.viewable && !w.hasClass)
                frames.push_back(w.window);
        }
        return HasCalculator(Inspect(ChildrenOfAll(frames), true), true);
    }

    static bool HasCalculator(const std::vector<WindowFacts> &windows, bool mustBeViewable)
    {
        QList<WindowClass> classes;
        for (const WindowFacts &w : windows) {
            if (w.hasClass && (w.viewable || !mustBeViewable))
                classes.append(w.wmClass);
        }
        return AnyCalculatorWindow(classes);
    }

    std::optional<std::vector<xcb_window_t>> ClientList(xcb_window_t root)
    {
        if (m_clientListAtom == XCB_ATOM_NONE)
            return std::nullopt;
        const auto cookie = xcb_get_property(m_connection, false, root, m_clientListAtom,
                                             XCB_ATOM_WINDOW, 0, kMaxListedWindows);
        const auto reply = Wait(xcb_get_property_reply, m_connection, cookie);
        if (!reply || reply->type != XCB_ATOM_WINDOW || reply->format != 32)
            return std::nullopt;
        const auto *ids = static_cast<const xcb_window_t *>(xcb_get_property_value(reply.get()));
        const int count = xcb_get_property_value_length(reply.get()) / 4;
        return std::vector<xcb_window_t>(ids, ids + count);
    }

    std::vector<xcb_window_t> Children(xcb_window_t parent)
    {
        return ChildrenOfAll({parent});
    }

    std::vector<xcb_window_t> ChildrenOfAll(const std::vector<xcb_window_t> &parents)
    {
        std::vector<xcb_query_tree_cookie_t> cookies;
        cookies.reserve(parents.size());
        for (xcb_window_t parent : parents)
            cookies.push_back(xcb_query_tree(m_connection, parent));
        std::vector<xcb_window_t> children;
        for (const auto cookie : cookies) {
            if (const auto reply = Wait(xcb_query_tree_reply, m_connection, cookie)) {
                const xcb_window_t *ids = xcb_query_tree_children(reply.get());
                children.insert(children.end(), ids,
                                ids + xcb_query_tree_children_length(reply.get()));
            }
        }
        return children;
    }

    std::vector<WindowFacts> Inspect(const std::vector<xcb_window_t> &windows, bool withMapState)
    {
        std::vector<xcb_get_property_cookie_t> classCookies;
        std::vector<xcb_get_window_attributes_cookie_t> attributeCookies;
        classCookies.reserve(windows.size());
        for (xcb_window_t window : windows) {
            classCookies.push_back(xcb_get_property(m_connection, false, window, XCB_ATOM_WM_CLASS,
                                                    XCB_ATOM_STRING, 0, kMaxClassWords));
            if (withMapState)
                attributeCookies.push_back(xcb_get_window_attributes(m_connection, window));
        }

        std::vector<WindowFacts> facts(windows.size());
        for (size_t i = 0; i < windows.size(); ++i) {
            facts[i].window = windows[i];
            if (const auto reply = Wait(xcb_get_property_reply, m_connection, classCookies[i]);
                reply && reply->type == XCB_ATOM_STRING && reply->format == 8) {
                facts[i].hasClass = true;
                facts[i].wmClass = ParseWmClass(
                    QByteArrayView(static_cast<const char *>(xcb_get_property_value(reply.get())),
                                   xcb_get_property_value_length(reply.get())));
            }
            if (withMapState) {
                const auto attributes =
                    Wait(xcb_get_window_attributes_reply, m_connection, attributeCookies[i]);
                facts[i].viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
            }
        }
        return facts;
    }

    // In 32-bit units, as X counts property lengths.
    static constexpr uint32_t kMaxListedWindows = 65536;
    static constexpr uint32_t kMaxClassWords = 256;

    xcb_connection_t *m_connection;
    bool m_ownsConnection;
    xcb_atom_t m_clientListAtom = XCB_ATOM_NONE;
};

} // namespace

std::unique_ptr<CalculatorProbe> MakeSystemCalculatorProbe(const QString &windowSystem)
{
    if (windowSystem == u"xcb") {
        if (auto x11 = X11CalculatorProbe::Connect()) {
            if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
                return x11;
            return std::make_unique<EitherCalculatorProbe>(std::move(x11),
                                                           std::make_unique<ProcCalculatorProbe>());
        }
    }
    return std::make_unique<ProcCalculatorProbe>();
}
