#pragma once
// The importer plug-in, loaded the way the host loads it: by file name, with its one entry
// point looked up by name. Unloaded when the object goes.

#include <string>

#include "host/HostSdk.h"

namespace host {

class PluginLibrary {
public:
    PluginLibrary() = default;
    ~PluginLibrary();
    PluginLibrary(PluginLibrary&& other) noexcept;
    PluginLibrary& operator=(PluginLibrary&& other) noexcept;
    PluginLibrary(const PluginLibrary&) = delete;
    PluginLibrary& operator=(const PluginLibrary&) = delete;

    // On failure the library is not loaded and error() says why.
    static PluginLibrary Load(const std::string& path);

    // The folder of the running program, with a trailing slash.
    static std::string ProgramFolder();

    bool Loaded() const { return entry_ != nullptr; }
    ImportEntryFunc Entry() const { return entry_; }
    const std::string& Path() const { return path_; }
    const std::string& Error() const { return error_; }
    void Unload();

private:
    void* module_ = nullptr;
    ImportEntryFunc entry_ = nullptr;
    std::string path_;
    std::string error_;
};

}  // namespace host
