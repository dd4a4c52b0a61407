// Starts a program on the X display in $DISPLAY and prints, on one line, the milliseconds from
// just before its start to the first window mapped on the root, and the program's peak resident
// memory. The program is ended with SIGTERM a while after the map, so the peak covers start-up
// and the first paint.
//
//   bench_startup_watch [--settle MS] [--timeout MS] PROGRAM [ARGS...]
//   prints: map_ms=123.456 maxrss_kb=45678

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

    double mapped = -1;
    pollfd watch{xcb_get_file_descriptor(connection), POLLIN, 0};
    while (mapped < 0) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7f) == XCB_MAP_NOTIFY && mapped < 0)
                mapped = NowMs();
            std::free(event);
        }
        if (mapped >= 0)
            break;
        if (xcb_connection_has_error(connection)) {
            EndAndMeasure(child);
            return Fail("lost the X display");
        }
        int status = 0;
        if (waitpid(child, &status, WNOHANG) == child)
            return Fail("the program ended before it showed a window");
        const double left = start + timeoutMs - NowMs();
        if (left <= 0) {
            EndAndMeasure(child);
            return Fail("no window was mapped in time");
        }
        poll(&watch, 1, left < 50 ? static_cast<int>(left) + 1 : 50);
    }

    usleep(static_cast<useconds_t>(settleMs * 1000));
    const long maxRss = EndAndMeasure(child);
    xcb_disconnect(connection);
    std::printf("map_ms=%.3f maxrss_kb=%ld\n", mapped - start, maxRss);
    return 0;
}
