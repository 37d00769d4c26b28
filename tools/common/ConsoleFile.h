#pragma once
// Opening the copy tools' inputs and outputs by name: files, or either end of a named pipe
// "\\.\pipe\name". Failures are an invalid handle with errno as the failing call left it;
// the tools print their own messages.

#include <cstdint>
#include <string>

#include "platform/FileHandle.h"

namespace tools {

// True for \\server\pipe\name written with backslashes only (several allowed before "pipe").
bool IsPipeName(const char* name);
inline bool IsPipeName(const std::string& name) { return IsPipeName(name.c_str()); }

// A file opened for reading, or the client end of a pipe, waiting up to about a minute for
// its server to create it.
platform::FileHandle OpenInputFile(const std::string& name);

// A file created or truncated for writing, or a new pipe server that returns once its reader
// has connected. A pipe needs a buffer size other than 0.
platform::FileHandle OpenOutputFile(const std::string& name, std::uint32_t bufferSize);

// True when both names are existing regular files that are one and the same file (hard link,
// symbolic link, another spelling of the path), which a copy would destroy by truncating it.
bool IsSameFile(const std::string& first, const std::string& second);

}  // namespace tools
