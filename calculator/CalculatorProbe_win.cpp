#include "SystemCalculatorProbe.h"

#include <windows.h>

#include <cwchar>
#include <iterator>

namespace {

// The classic calculator's top-level window class, whatever the window's title.
constexpr wchar_t kClassicCalculatorClass[] = L"SciCalc";

// The calculator that ships as a store app lives in a frame owned by the app host; its content
// window belongs to the calculator's own process, which is known by its package family name
// whatever the language of the title. Minimised, the content window may stand on its own.
constexpr wchar_t kAppFrameClass[] = L"ApplicationFrameWindow";
constexpr wchar_t kAppContentClass[] = L"Windows.UI.Core.CoreWindow";
constexpr wchar_t kCalculatorPackageFamily[] = L"Microsoft.WindowsCalculator_8wekyb3d8bbwe";

// Looked up at run time so that no particular SDK or Windows version is needed to build.
using GetPackageFamilyNameFn = LONG(WINAPI *)(HANDLE, UINT32 *, PWSTR);

GetPackageFamilyNameFn PackageFamilyNameFunction()
{
    static const auto function = reinterpret_cast<GetPackageFamilyNameFn>(reinterpret_cast<void *>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetPackageFamilyName")));
    return function;
}

bool BelongsToCalculatorPackage(HWND window)
{
    const GetPackageFamilyNameFn familyName = PackageFamilyNameFunction();
    DWORD processId = 0;
    if (!familyName || !GetWindowThreadProcessId(window, &processId) || processId == 0)
        return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId);
    if (!process)
        return false;
    wchar_t family[128] = {};
    UINT32 length = static_cast<UINT32>(std::size(family));
    const bool match = familyName(process, &length, family) == ERROR_SUCCESS &&
                       std::wcscmp(family, kCalculatorPackageFamily) == 0;
    CloseHandle(process);
    return match;
}

BOOL CALLBACK FindStoreCalculator(HWND window, LPARAM found)
{
    wchar_t className[64] = {};
    if (!GetClassNameW(window, className, static_cast<int>(std::size(className))))
        return TRUE;
    HWND content = nullptr;
    if (std::wcscmp(className, kAppFrameClass) == 0)
        content = FindWindowExW(window, nullptr, kAppContentClass, nullptr);
    else if (std::wcscmp(className, kAppContentClass) == 0)
        content = window;
    if (content && BelongsToCalculatorPackage(content)) {
        *reinterpret_cast<bool *>(found) = true;
        return FALSE;
    }
    return TRUE;
}

class WindowsCalculatorProbe final : public CalculatorProbe
{
  public:
    bool CalculatorWindowOpen() override
    {
        if (FindWindowExW(nullptr, nullptr, kClassicCalculatorClass, nullptr))
            return true;
        bool found = false;
        EnumWindows(FindStoreCalculator, reinterpret_cast<LPARAM>(&found));
        return found;
    }
};

} // namespace

// Windows lists its top-level windows whatever Qt's platform plugin is called.
std::unique_ptr<CalculatorProbe> MakeSystemCalculatorProbe(const QString &)
{
    return std::make_unique<WindowsCalculatorProbe>();
}
