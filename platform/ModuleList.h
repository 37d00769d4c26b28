#pragma once
// The shared objects loaded into this process, as the set-up report lists them.
#include <string>
#include <vector>

namespace platform {

// Full paths of every loaded module, the main program first.
std::vector<std::string> LoadedModules();

// Full path of the module that contains the given address, or empty.
std::string ModulePathOf(const void* address);

// The part of a path after its last backslash and then after its last forward slash.
std::string BaseName(const std::string& path);

}  // namespace platform
