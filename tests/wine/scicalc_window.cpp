// Opens a visible top-level window of the class named on the command line, says "open" and
// keeps the window until its standard input ends: a stand-in for a desktop calculator.
#include <windows.h>

#include <cstdio>

int wmain(int argc, wchar_t **argv)
{
    if (argc != 2)
        return 2;
    const WNDCLASSW windowClass{.lpfnWndProc = DefWindowProcW,
                                .hInstance = GetModuleHandleW(nullptr),
                                .lpszClassName = argv[1]};
    if (!RegisterClassW(&windowClass))
        return 1;
    HWND window = CreateWindowExW(0, argv[1], L"Калькулятор", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0,
                                  0, 240, 320, nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    std::puts("open");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    DestroyWindow(window);
    return 0;
}
