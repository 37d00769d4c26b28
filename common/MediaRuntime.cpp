#include "common/MediaRuntime.h"

#include "platform/ModuleList.h"

#include <dlfcn.h>

namespace qivo {
namespace {

// Any function of this module: its address tells which file the module was loaded from.
void Anchor() {}

}  // namespace

MediaRuntime::MediaRuntime() {
    std::string module = platform::ModulePathOf(reinterpret_cast<const void*>(&Anchor));
    std::string::size_type slash = module.rfind('/');
    if (slash == std::string::npos) {
        error_ = "cannot tell the folder of the running module";
        return;
    }
    path_ = module.substr(0, slash + 1) + kFileName;
    handle_ = ::dlopen(path_.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = ::dlerror();
        error_ = reason ? reason : "dlopen failed";
    }
}

MediaRuntime::~MediaRuntime() {
    if (handle_) ::dlclose(handle_);
}

}  // namespace qivo
