#include "tools/common/ConsoleFile.h"

#include <cerrno>
#include <strings.h>
#include <sys/stat.h>

#include "platform/PipeClient.h"
#include "platform/PipeServer.h"

namespace tools {

bool IsPipeName(const char* name) {
    if (!name || name[0] != '\\' || name[1] != '\\' || name[2] == '\\') return false;
    const char* p = name + 2;
    while (*p && *p != '\\') ++p;
    if (!*p) return false;
    while (*p == '\\') ++p;
    return ::strncasecmp(p, "pipe\\", 5) == 0;
}

platform::FileHandle OpenInputFile(const std::string& name) {
    if (!IsPipeName(name)) return platform::FileHandle::OpenRead(name);
    return platform::PipeClient::OpenWaiting(name, platform::PipeWaitPolicy{});
}

platform::FileHandle OpenOutputFile(const std::string& name, std::uint32_t bufferSize) {
    if (!IsPipeName(name)) return platform::FileHandle::CreateWrite(name);
    if (bufferSize == 0) {
        errno = EINVAL;
        return platform::FileHandle();
    }
    platform::PipeServer server = platform::PipeServer::Create(name, bufferSize);
    if (!server) return platform::FileHandle();
    return server.Connect();
}

bool IsSameFile(const std::string& first, const std::string& second) {
    if (IsPipeName(first) || IsPipeName(second)) return false;
    struct stat a{}, b{};
    if (::stat(first.c_str(), &a) != 0 || ::stat(second.c_str(), &b) != 0) return false;
    return S_ISREG(a.st_mode) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

}  // namespace tools
