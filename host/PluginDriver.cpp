#include "host/PluginDriver.h"

#include <cstring>

#include "platform/Utf.h"

namespace host {

std::int32_t PluginDriver::Call(std::int32_t selector, std::intptr_t param1, std::intptr_t param2) {
    return entry_(selector, host_.Params(), param1, param2);
}

std::int32_t PluginDriver::Startup(ImportInfoRecord& info) {
    std::memset(&info, kHostFill, sizeof info);
    return Call(kSelStartup, reinterpret_cast<std::intptr_t>(&info), 0);
}

std::int32_t PluginDriver::FileFormat(std::int32_t index, FileFormatRecord& format) {
    std::memset(&format, 0, sizeof format);
    return Call(kSelFileFormat, index, reinterpret_cast<std::intptr_t>(&format));
}

bool PluginDriver::PathFits(const std::string& path) {
    return platform::Utf8ToUtf16(path).size() < 260;
}

std::int32_t PluginDriver::Open(const std::string& descriptorPath, ClipState& clip) {
    OpenRecord record{};
    record.fileRef = clip.file;
    record.privateData = clip.privateData;
    platform::ToHostText(descriptorPath, record.path, 260);
    const std::int32_t result = Call(kSelOpen, reinterpret_cast<std::intptr_t>(&clip.file),
                                     reinterpret_cast<std::intptr_t>(&record));
    // The plug-in may create the private data even when the open fails; the host keeps it for
    // the close that follows.
    clip.privateData = record.privateData;
    clip.fileType = record.fileType;
    return result;
}

std::int32_t PluginDriver::Quiet(ClipState& clip) {
    return Call(kSelQuiet, reinterpret_cast<std::intptr_t>(&clip.file),
                reinterpret_cast<std::intptr_t>(clip.privateData));
}

std::int32_t PluginDriver::Close(ClipState& clip) {
    const std::int32_t result = Call(kSelClose, reinterpret_cast<std::intptr_t>(&clip.file),
                                     reinterpret_cast<std::intptr_t>(clip.privateData));
    clip.privateData = nullptr;
    return result;
}

}  // namespace host
