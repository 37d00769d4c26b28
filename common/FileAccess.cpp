#include "common/FileAccess.h"

#include <cctype>

#include "platform/PipeClient.h"

namespace qivo {

bool IsPipePath(const char* path) {
    if (!path || path[0] != '\\' || path[1] != '\\') return false;
    const char* p = path + 2;
    if (*p == '\\') return false;
    while (*p && *p != '\\' && *p != '/') ++p;
    while (*p == '\\' || *p == '/') ++p;
    static constexpr char kPipe[] = "pipe";
    for (int i = 0; i < 4; ++i, ++p) {
        if (std::tolower(static_cast<unsigned char>(*p)) != kPipe[i]) return false;
    }
    return *p == '\\' || *p == '/';
}

platform::FileHandle OpenForReading(const std::string& path) {
    if (!IsPipePath(path)) return platform::FileHandle::OpenRead(path);
    platform::FileHandle handle;
    platform::PipeClient::TryOpen(path, handle);
    return handle;
}

platform::FileHandle OpenInputStream(const std::string& path) {
    if (!IsPipePath(path)) return OpenForReading(path);
    // A server that never comes is given about a minute; a busy pipe up to 20 s more.
    return platform::PipeClient::OpenWaiting(path, platform::PipeWaitPolicy{});
}

}  // namespace qivo
