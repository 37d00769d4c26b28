#pragma once
// Sends the host's requests to an importer plug-in, filling the records as the host fills them,
// and keeps what the host keeps for an open clip: its file and its private data handle.

#include <cstdint>
#include <string>

#include "host/Host.h"
#include "host/HostSdk.h"

namespace host {

// What the host keeps for one clip between requests.
struct ClipState {
    FileRef file = kInvalidFileRef;
    MemoryHandle privateData = nullptr;
    std::uint32_t fileType = 0;
};

class PluginDriver {
public:
    PluginDriver(Host& host, ImportEntryFunc entry) : host_(host), entry_(entry) {}

    std::int32_t Call(std::int32_t selector, std::intptr_t param1, std::intptr_t param2);

    // The host fills the import-info record before asking; untouched bytes keep this pattern.
    static constexpr std::uint8_t kHostFill = 0x5C;
    std::int32_t Startup(ImportInfoRecord& info);
    std::int32_t FileFormat(std::int32_t index, FileFormatRecord& format);

    // False when the path does not fit the host's 260-character buffer; nothing is sent then.
    static bool PathFits(const std::string& path);
    std::int32_t Open(const std::string& descriptorPath, ClipState& clip);
    std::int32_t Quiet(ClipState& clip);
    std::int32_t Close(ClipState& clip);

private:
    Host& host_;
    ImportEntryFunc entry_;
};

}  // namespace host
