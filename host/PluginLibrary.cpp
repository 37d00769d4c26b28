#include "host/PluginLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace host {

PluginLibrary::~PluginLibrary() { Unload(); }

PluginLibrary::PluginLibrary(PluginLibrary&& other) noexcept
    : module_(other.module_), entry_(other.entry_), path_(std::move(other.path_)),
      error_(std::move(other.error_)) {
    other.module_ = nullptr;
    other.entry_ = nullptr;
}

PluginLibrary& PluginLibrary::operator=(PluginLibrary&& other) noexcept {
    if (this != &other) {
        Unload();
        module_ = other.module_;
        entry_ = other.entry_;
        path_ = std::move(other.path_);
        error_ = std::move(other.error_);
        other.module_ = nullptr;
        other.entry_ = nullptr;
    }
    return *this;
}

PluginLibrary PluginLibrary::Load(const std::string& path) {
    PluginLibrary library;
    library.path_ = path;
    // Each plug-in keeps its own symbols, as the host's loader would.
    library.module_ = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library.module_) {
        const char* why = ::dlerror();
        library.error_ = why ? why : "cannot load " + path;
        return library;
    }
    library.entry_ = reinterpret_cast<ImportEntryFunc>(::dlsym(library.module_, kImportEntryName));
    if (!library.entry_) {
        library.error_ = path + ": no entry point " + kImportEntryName;
        library.Unload();
    }
    return library;
}

std::string PluginLibrary::ProgramFolder() {
    char self[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "./";
    std::string path(self, static_cast<std::size_t>(n));
    return path.substr(0, path.rfind('/') + 1);
}

void PluginLibrary::Unload() {
    entry_ = nullptr;
    if (module_) {
        ::dlclose(module_);
        module_ = nullptr;
    }
}

}  // namespace host
