#include "LoginName.h"

#include <windows.h>

#include <lmcons.h>

#include <vector>

// The account the process runs under, as Windows itself reports it; the USERNAME variable is
// not consulted, since anyone can set it.
QString GetLoginName()
{
    std::vector<wchar_t> buffer(UNLEN + 1);
    DWORD size = static_cast<DWORD>(buffer.size());
    if (!GetUserNameW(buffer.data(), &size)) {
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return {};
        buffer.resize(size);
        size = static_cast<DWORD>(buffer.size());
        if (!GetUserNameW(buffer.data(), &size))
            return {};
    }
    // On success the size counts the terminating NUL.
    return QString::fromWCharArray(buffer.data(), size > 0 ? static_cast<qsizetype>(size) - 1 : 0);
}
