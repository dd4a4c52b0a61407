#include "LoginName.h"

#include <QFile>

#include <cerrno>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace {

// getpwuid_r reports ERANGE until the buffer is big enough; past this something is wrong.
constexpr size_t kMaxBufferBytes = 1024 * 1024;
constexpr int kMaxAttempts = 32;

size_t FirstBufferSize()
{
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    return suggested > 0 ? static_cast<size_t>(suggested) : 1024;
}

} // namespace

// The effective user's entry in the password database; USER and LOGNAME are not consulted,
// since anyone can set them.
QString GetLoginName()
{
    const uid_t uid = geteuid();
    std::vector<char> buffer(FirstBufferSize());
    for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
        passwd entry{};
        passwd *found = nullptr;
        const int error = getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found);
        if (error == ERANGE && buffer.size() < kMaxBufferBytes) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (error == EINTR)
            continue;
        if (error != 0 || found == nullptr || found->pw_name == nullptr)
            return {};
        return QFile::decodeName(found->pw_name);
    }
    return {};
}
