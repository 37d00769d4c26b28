#pragma once
// The diagnostics channel: where a Windows build would send debugger output.
#include <string_view>

namespace platform {

// Writes one message to stderr as it stands (no line end added).
void DebugOutput(std::string_view message);

}  // namespace platform
