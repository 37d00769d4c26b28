#include "platform/PipeServer.h"

#include <cerrno>
#include <sys/socket.h>

#include "platform/PipeAddress.h"

namespace platform {

PipeServer PipeServer::Create(const std::string& path, std::uint32_t bufferSize) {
    PipeServer server;
    PipeAddress address(path);
    if (!address.Valid()) {
        errno = address.Error();
        return server;
    }
    FileHandle listener(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!listener) return server;
    if (::bind(listener.Fd(), address.Address(), address.Length()) != 0) return server;
    // A backlog of 0 lets exactly one client wait for the instance, as a Windows pipe instance
    // takes one client; a second one finds it busy.
    if (::listen(listener.Fd(), 0) != 0) return server;
    server.listener_ = std::move(listener);
    server.bufferSize_ = bufferSize;
    return server;
}

FileHandle PipeServer::Connect() {
    if (!listener_) {
        errno = EBADF;
        return FileHandle();
    }
    int fd;
    do {
        fd = ::accept4(listener_.Fd(), nullptr, nullptr, SOCK_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    FileHandle connection(fd);
    if (!connection) return connection;
    listener_.Close();
    if (bufferSize_ > 0) {
        // Best effort: the kernel caps the sizes for unprivileged processes.
        int size = bufferSize_ > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(bufferSize_);
        ::setsockopt(connection.Fd(), SOL_SOCKET, SO_SNDBUF, &size, sizeof size);
        ::setsockopt(connection.Fd(), SOL_SOCKET, SO_RCVBUF, &size, sizeof size);
    }
    return connection;
}

}  // namespace platform
