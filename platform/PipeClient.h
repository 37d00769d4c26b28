#pragma once
// The client end of a named pipe, opened for reading or writing the byte stream its server
// serves. A client open can find the pipe not created yet (no server, or its one instance is
// already in use), busy (an instance exists but another client is waiting for it), or fail for
// good (a name that cannot be served here).

#include <string>

#include "platform/FileHandle.h"

namespace platform {

enum class PipeOpenStatus { Connected, NotCreated, Busy, Failed };

// How long a client waits for its server: attempts, the pause after "not created", and the
// longest wait for a busy pipe. The defaults give a server that never comes about a minute.
struct PipeWaitPolicy {
    int attempts = 600;
    int notCreatedDelayMs = 100;
    int busyWaitMs = 20000;
};

class PipeClient {
public:
    // One attempt, no waiting. On anything but Connected the handle is invalid and errno is
    // as the failing call set it (ECONNREFUSED: not created).
    static PipeOpenStatus TryOpen(const std::string& path, FileHandle& handle);

    // Waits up to timeoutMs for the pipe to have a free instance and takes it. Busy with errno
    // ETIMEDOUT when none came free in time.
    static PipeOpenStatus WaitForInstance(const std::string& path, int timeoutMs,
                                          FileHandle& handle);

    // Attempts until connected, sleeping after "not created" and waiting once per busy phase;
    // gives up at once on a hard failure, when a busy wait times out, or when the attempts are
    // used up (errno then as the last attempt left it).
    static FileHandle OpenWaiting(const std::string& path, const PipeWaitPolicy& policy = {});
};

}  // namespace platform
