// Announces the library on the diagnostics channel when it is loaded into a process and when
// it is unloaded, naming it by its file name.

#include <string>

#include "platform/Diagnostics.h"
#include "platform/ModuleList.h"

namespace qivo {
namespace {

std::string LibraryName() {
    static const char kAnchor = 0;
    return platform::BaseName(platform::ModulePathOf(&kAnchor));
}

// stderr is line-oriented where a debugger channel is message-oriented: each message gets its
// own line.
[[gnu::constructor]] void OnLibraryAttach() {
    platform::DebugOutput("Adobe Premiere: loading library " + LibraryName() + ".\n");
}

[[gnu::destructor]] void OnLibraryDetach() {
    platform::DebugOutput("Adobe Premiere: releasing library " + LibraryName() + ".\n");
}

}  // namespace
}  // namespace qivo
