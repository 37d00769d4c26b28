#include "platform/PipeClient.h"

#include <cerrno>
#include <algorithm>
#include <chrono>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>

#include "platform/PipeAddress.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

PipeOpenStatus StatusOf(int error) {
    switch (error) {
        case ECONNREFUSED:  // no listener under the name: no server, or its instance is taken
        case ENOENT:
            return PipeOpenStatus::NotCreated;
        case EAGAIN:  // a client is already waiting for the one free instance
            return PipeOpenStatus::Busy;
        default:
            return PipeOpenStatus::Failed;
    }
}

bool SetSendTimeout(int fd, std::chrono::milliseconds timeout) {
    timeval tv{};
    tv.tv_sec = static_cast<time_t>(timeout.count() / 1000);
    tv.tv_usec = static_cast<suseconds_t>(timeout.count() % 1000 * 1000);
    return ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &tv, sizeof tv) == 0;
}

// One connect. A non-blocking socket never waits; a blocking one waits for a free instance for
// as long as its send time-out (0 = for ever), which unix sockets apply to connect.
PipeOpenStatus Connect(const PipeAddress& address, bool blocking, std::chrono::milliseconds wait,
                       FileHandle& handle) {
    handle.Close();
    FileHandle socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | (blocking ? 0 : SOCK_NONBLOCK), 0));
    if (!socket) return PipeOpenStatus::Failed;
    if (blocking && !SetSendTimeout(socket.Fd(), wait)) return PipeOpenStatus::Failed;
    if (::connect(socket.Fd(), address.Address(), address.Length()) != 0) return StatusOf(errno);
    // The connection is used with ordinary blocking reads and writes without time-outs.
    if (blocking) {
        SetSendTimeout(socket.Fd(), std::chrono::milliseconds(0));
    } else {
        int flags = ::fcntl(socket.Fd(), F_GETFL);
        if (flags < 0 || ::fcntl(socket.Fd(), F_SETFL, flags & ~O_NONBLOCK) != 0)
            return PipeOpenStatus::Failed;
    }
    handle = std::move(socket);
    return PipeOpenStatus::Connected;
}

}  // namespace

PipeOpenStatus PipeClient::TryOpen(const std::string& path, FileHandle& handle) {
    handle.Close();
    PipeAddress address(path);
    if (!address.Valid()) {
        errno = address.Error();
        return PipeOpenStatus::Failed;
    }
    return Connect(address, false, std::chrono::milliseconds(0), handle);
}

PipeOpenStatus PipeClient::WaitForInstance(const std::string& path, int timeoutMs,
                                           FileHandle& handle) {
    handle.Close();
    PipeAddress address(path);
    if (!address.Valid()) {
        errno = address.Error();
        return PipeOpenStatus::Failed;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left <= std::chrono::milliseconds(0)) break;
        PipeOpenStatus status = Connect(address, true, left, handle);
        if (status == PipeOpenStatus::Connected || status == PipeOpenStatus::Failed) {
            if (status == PipeOpenStatus::Failed && errno == EINTR) continue;
            return status;
        }
        // Refused while waiting: the instance was taken and its server has not made the next
        // one yet. A busy Windows pipe still exists then, so keep waiting for the new instance.
        if (status == PipeOpenStatus::NotCreated)
            std::this_thread::sleep_for(std::min(left, std::chrono::milliseconds(10)));
    }
    errno = ETIMEDOUT;
    return PipeOpenStatus::Busy;
}

FileHandle PipeClient::OpenWaiting(const std::string& path, const PipeWaitPolicy& policy) {
    FileHandle handle;
    for (int attempt = 0; attempt < policy.attempts; ++attempt) {
        switch (TryOpen(path, handle)) {
            case PipeOpenStatus::Connected:
                return handle;
            case PipeOpenStatus::NotCreated: {
                int error = errno;
                std::this_thread::sleep_for(std::chrono::milliseconds(policy.notCreatedDelayMs));
                errno = error;
                break;
            }
            case PipeOpenStatus::Busy:
                if (WaitForInstance(path, policy.busyWaitMs, handle) != PipeOpenStatus::Connected)
                    return FileHandle();
                return handle;
            case PipeOpenStatus::Failed:
                return FileHandle();
        }
    }
    return FileHandle();
}

}  // namespace platform
