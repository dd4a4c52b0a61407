// Starts a program on the X display in $DISPLAY and prints, on one line, the milliseconds from
// just before its start to the first window mapped on the root, to the first time that window
// shows more than one colour (its first paint with text or any other picture: a window that only
// clears itself never does, and gets -1), and the program's peak resident memory. Paints are
// watched with the DAMAGE extension: after each one the window's pixels are read back. The
// program is ended with SIGTERM a while after the map, so the peak covers start-up and the first
// paint.
//
//   bench_startup_watch [--settle MS] [--timeout MS] PROGRAM [ARGS...]
//   prints: map_ms=123.456 text_ms=130.789 maxrss_kb=45678

#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>

namespace {

double NowMs()
{
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

int Fail(const char *what)
{
    std::fprintf(stderr, "bench_startup_watch: %s\n", what);
    return 2;
}

// Ends the program and collects its peak resident memory in KiB.
long EndAndMeasure(pid_t child)
{
    kill(child, SIGTERM);
    int status = 0;
    rusage usage{};
    while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    return usage.ru_maxrss;
}

// Whether the window shows more than one colour.
bool Painted(xcb_connection_t *connection, xcb_window_t window)
{
    xcb_get_geometry_reply_t *geometry =
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
    if (!geometry)
        return false;
    xcb_get_image_reply_t *image =
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                          geometry->width, geometry->height, ~0u),
                            nullptr);
    std::free(geometry);
    if (!image)
        return false;
    const auto *pixels = reinterpret_cast<const uint32_t *>(xcb_get_image_data(image));
    const int count = xcb_get_image_data_length(image) / 4;
    bool varied = false;
    for (int i = 1; i < count && !varied; ++i)
        varied = (pixels[i] & 0xffffff) != (pixels[0] & 0xffffff);
    std::free(image);
    return varied;
}

} // namespace

int main(int argc, char *argv[])
{
    double settleMs = 500;
    double timeoutMs = 20000;
    int first = 1;
    while (first + 1 < argc && argv[first][0] == '-') {
        const std::string option = argv[first];
        if (option == "--settle")
            settleMs = std::atof(argv[first + 1]);
        else if (option == "--timeout")
            timeoutMs = std::atof(argv[first + 1]);
        else
            return Fail("unknown option");
        first += 2;
    }
    if (first >= argc)
        return Fail("usage: bench_startup_watch [--settle MS] [--timeout MS] PROGRAM [ARGS...]");

    int screenNumber = 0;
    xcb_connection_t *connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection))
        return Fail("cannot connect to the X display");
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    const xcb_window_t root = screens.data->root;
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(connection, &xcb_damage_id);
    if (!damage || !damage->present)
        return Fail("the X server has no DAMAGE extension");
    std::free(xcb_damage_query_version_reply(
        connection,
        xcb_damage_query_version(connection, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
        nullptr));

    // Map notifications of the root's children; the round trip makes sure the server has
    // taken the request before the program starts.
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t *error = xcb_request_check(
            connection,
            xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask))) {
        std::free(error);
        return Fail("cannot watch the root window");
    }

    const double start = NowMs();
    const pid_t child = fork();
    if (child < 0)
        return Fail("fork failed");
    if (child == 0) {
        const int devNull = open("/dev/null", O_WRONLY);
        dup2(devNull, STDOUT_FILENO);
        dup2(devNull, STDERR_FILENO);
        execvp(argv[first], argv + first);
        _exit(127);
    }

    double mapped = -1, painted = -1;
    xcb_window_t window = XCB_NONE;
    const xcb_damage_damage_t damaged = xcb_generate_id(connection);
    pollfd watch{xcb_get_file_descriptor(connection), POLLIN, 0};
    // Until the first paint, or settleMs after the map for a window that never shows a picture.
    while (painted < 0 && (mapped < 0 || NowMs() < mapped + settleMs)) {
        bool check = false;
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            const int type = event->response_type & 0x7f;
            if (type == XCB_MAP_NOTIFY && mapped < 0) {
                mapped = NowMs();
                window = reinterpret_cast<xcb_map_notify_event_t *>(event)->window;
                xcb_damage_create(connection, damaged, window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
                check = true; // it may have been painted before the damage was watched
            } else if (type == damage->first_event + XCB_DAMAGE_NOTIFY) {
                xcb_damage_subtract(connection, damaged, XCB_NONE, XCB_NONE);
                check = true;
            }
            std::free(event);
        }
        if (check && Painted(connection, window))
            painted = NowMs();
        if (painted >= 0)
            break;
        if (xcb_connection_has_error(connection)) {
            EndAndMeasure(child);
            return Fail("lost the X display");
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return Fail("the program ended before it showed a window");
        const double left = start + timeoutMs - NowMs();
        if (mapped < 0 && left <= 0) {
            EndAndMeasure(child);
            return Fail("no window was mapped in time");
        }
        // Once mapped, a short wait: reading the pixels may have queued events already.
        poll(&watch, 1, mapped >= 0 ? 1 : left < 50 ? static_cast<int>(left) + 1 : 50);
    }

    const double settled = mapped + settleMs - NowMs();
    if (settled > 0)
        usleep(static_cast<useconds_t>(settled * 1000));
    const long maxRss = EndAndMeasure(child);
    xcb_disconnect(connection);
    std::printf("map_ms=%.3f text_ms=%.3f maxrss_kb=%ld\n", mapped - start,
                painted < 0 ? -1.0 : painted - start, maxRss);
    return 0;
}
