// What happens when the library is loaded into a process and unloaded: one message on the
// diagnostics channel each time, naming the library by its file name, and the Media SDK
// runtime kept loaded from the library's own folder for as long as the library is.

#include <optional>
#include <string>

#include "common/MediaRuntime.h"
#include "platform/Diagnostics.h"
#include "platform/ModuleList.h"

namespace qivo {
namespace {

// The one process-wide value of the plug-in: set at load, released with the library's other
// statics at unload. Constant-initialised, so it is ready before the load function runs.
constinit std::optional<MediaRuntime> g_mediaRuntime;

std::string LibraryName() {
    static const char kAnchor = 0;
    return platform::BaseName(platform::ModulePathOf(&kAnchor));
}

// stderr is line-oriented where a debugger channel is message-oriented: each message gets its
// own line.
[[gnu::constructor]] void OnLibraryAttach() {
    platform::DebugOutput("Adobe Premiere: loading library " + LibraryName() + ".\n");
    // A runtime that cannot be loaded shows up where the SDK is first used, as a failed
    // session set-up of the clip being opened.
    g_mediaRuntime.emplace();
}

[[gnu::destructor]] void OnLibraryDetach() {
    platform::DebugOutput("Adobe Premiere: releasing library " + LibraryName() + ".\n");
}

}  // namespace
}  // namespace qivo
