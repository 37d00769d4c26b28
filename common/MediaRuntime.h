#pragma once
// Keeps the software Media SDK runtime loaded while the plug-in uses the SDK.
//
// The runtime file (libmfxsw64.so.1) lies beside the module that contains this code. Its
// soname is the one Debian's dispatcher asks for on a machine without Intel graphics, and
// dlopen of a bare name returns an already loaded library with that soname, so once it is
// loaded from our folder the dispatcher's MFXInit finds it without any search path.
#include <string>

namespace qivo {

class MediaRuntime {
public:
    static constexpr const char kFileName[] = "libmfxsw64.so.1";

    MediaRuntime();
    ~MediaRuntime();
    MediaRuntime(const MediaRuntime&) = delete;
    MediaRuntime& operator=(const MediaRuntime&) = delete;

    bool IsLoaded() const { return handle_ != nullptr; }
    // Full path tried, and the loader's reason when it failed (empty on success).
    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }

private:
    void* handle_ = nullptr;
    std::string path_;
    std::string error_;
};

}  // namespace qivo
