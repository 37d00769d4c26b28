#pragma once
// The server end of a named pipe: one instance that one client connects to.
//
// Create makes the pipe visible under its name (bind + listen) without waiting for anybody;
// a client may connect from then on. Connect takes that client (accept) and hands back its
// connection; the instance is then in use, so the name disappears until a server creates a
// new instance, and later clients wait as they would for a busy Windows pipe.

#include <cstdint>
#include <string>

#include "platform/FileHandle.h"

namespace platform {

class PipeServer {
public:
    PipeServer() = default;

    // bufferSize, when not 0, sizes the socket buffers of the connection (as the in- and
    // out-buffer sizes of a Windows pipe). On failure the server is invalid and errno tells why
    // (EADDRINUSE: another server holds the name).
    static PipeServer Create(const std::string& path, std::uint32_t bufferSize);

    bool Valid() const { return listener_.Valid(); }
    explicit operator bool() const { return Valid(); }

    // Blocks until a client has connected (or takes one that connected before) and returns the
    // connection. Invalid with errno set on failure.
    FileHandle Connect();

private:
    FileHandle listener_;
    std::uint32_t bufferSize_ = 0;
};

}  // namespace platform
