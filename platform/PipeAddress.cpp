#include "platform/PipeAddress.h"

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <strings.h>
#include <unistd.h>

namespace platform {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsThisMachine(std::string_view server) {
    if (server == ".") return true;
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) return false;
    return server.size() == std::strlen(host) &&
           ::strncasecmp(server.data(), host, server.size()) == 0;
}

}  // namespace

PipeAddress::PipeAddress(std::string_view path) {
    error_ = EINVAL;
    if (path.size() < 2 || path[0] != '\\' || path[1] != '\\') return;
    std::size_t p = 2;
    std::size_t serverEnd = p;
    while (serverEnd < path.size() && !IsSeparator(path[serverEnd])) ++serverEnd;
    const std::string_view server = path.substr(p, serverEnd - p);
    p = serverEnd;
    while (p < path.size() && IsSeparator(path[p])) ++p;
    if (path.size() - p < 5 || ::strncasecmp(path.data() + p, "pipe", 4) != 0 ||
        !IsSeparator(path[p + 4]))
        return;
    p += 5;

    if (!IsThisMachine(server)) {
        error_ = EHOSTUNREACH;
        return;
    }
    socketName_.assign(kPrefix);
    for (char c : path.substr(p)) socketName_.push_back(FoldCase(c));
    // The abstract name follows a zero byte in sun_path.
    if (socketName_.size() + 1 > sizeof address_.sun_path) {
        error_ = ENAMETOOLONG;
        return;
    }
    address_.sun_family = AF_UNIX;
    std::memcpy(address_.sun_path + 1, socketName_.data(), socketName_.size());
    length_ = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + socketName_.size());
    error_ = 0;
}

}  // namespace platform
