#pragma once
// Opening media files, where any of them may be a named pipe served by another process.
// Failures are an invalid handle with errno left as the failing call set it; callers report
// them in their own words.

#include <string>

#include "platform/FileHandle.h"

namespace qivo {

// True for \\server\pipe\name (either slash after the server, "pipe" in any case).
bool IsPipePath(const char* path);
inline bool IsPipePath(const std::string& path) { return IsPipePath(path.c_str()); }

// One attempt, no waiting: a pipe opens only if its server is there now.
platform::FileHandle OpenForReading(const std::string& path);

// As OpenForReading for files; a pipe client waits for its server to appear.
platform::FileHandle OpenInputStream(const std::string& path);

}  // namespace qivo
