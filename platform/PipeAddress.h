#pragma once
// Where a Windows-style pipe name lives on Linux: a Unix-domain stream socket in the abstract
// namespace, so that nothing is left behind in the file system when a server goes away.
//
//   \\server\pipe\name  ->  abstract socket "qivo-pipe/" + name folded to lower case
//
// Windows pipe names ignore case, hence the folding (ASCII letters; other characters are kept).
// Only the local machine can be reached: the server part must be "." or this host's name.

#include <string>
#include <string_view>
#include <sys/socket.h>
#include <sys/un.h>

namespace platform {

class PipeAddress {
public:
    // Accepts \\server\pipe\name with any run of backslashes or slashes between the parts;
    // which spellings a caller treats as pipe names is that caller's own rule.
    explicit PipeAddress(std::string_view path);

    // False when the path cannot be served here; Error() then tells why as an errno value:
    // EINVAL (not a pipe path), EHOSTUNREACH (another machine), ENAMETOOLONG.
    bool Valid() const { return error_ == 0; }
    int Error() const { return error_; }

    // The abstract socket name without its leading zero byte.
    const std::string& SocketName() const { return socketName_; }
    const sockaddr* Address() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t Length() const { return length_; }

    static constexpr std::string_view kPrefix = "qivo-pipe/";

private:
    int error_ = 0;
    std::string socketName_;
    sockaddr_un address_{};
    socklen_t length_ = 0;
};

}  // namespace platform
