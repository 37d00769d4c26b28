// The importer's one entry point: every host request arrives here and is sent to its handler
// by selector.

#include <array>
#include <cstdint>

#include "host/HostSdk.h"
#include "importer/ClipOpen.h"
#include "importer/PrivateDataLock.h"
#include "importer/StartupAnswers.h"

namespace qivo {
namespace {

using Handler = std::int32_t (*)(host::StandardParams* stdParms, std::intptr_t param1, std::intptr_t param2);

template <typename T>
T* As(std::intptr_t param) {
    return reinterpret_cast<T*>(param);
}

std::int32_t Unsupported(host::StandardParams*, std::intptr_t, std::intptr_t) { return host::kResultUnsupported; }
std::int32_t Acknowledge(host::StandardParams*, std::intptr_t, std::intptr_t) { return host::kResultSuccess; }
std::int32_t FixedAnswer(host::StandardParams*, std::intptr_t, std::intptr_t) { return host::kResultFixedAnswer; }

std::int32_t Startup(host::StandardParams* stdParms, std::intptr_t param1, std::intptr_t) {
    return AnswerStartup(stdParms, As<host::ImportInfoRecord>(param1));
}

std::int32_t FileFormat(host::StandardParams*, std::intptr_t param1, std::intptr_t param2) {
    return AnswerFileFormat(param1, As<host::FileFormatRecord>(param2));
}

std::int32_t Open(host::StandardParams* stdParms, std::intptr_t param1, std::intptr_t param2) {
    return OpenClip(stdParms, As<host::FileRef>(param1), As<host::OpenRecord>(param2));
}

std::int32_t Quiet(host::StandardParams* stdParms, std::intptr_t param1, std::intptr_t param2) {
    return QuietClip(stdParms, As<host::FileRef>(param1), As<host::MemoryBlock>(param2));
}

std::int32_t Close(host::StandardParams* stdParms, std::intptr_t param1, std::intptr_t param2) {
    return CloseClip(stdParms, As<host::FileRef>(param1), As<host::MemoryBlock>(param2));
}

std::int32_t LockUnlock(host::StandardParams* stdParms, std::intptr_t, std::intptr_t param2) {
    const auto* record = As<host::PrivateDataRecord>(param2);
    PrivateDataLock lock(MemoryFunctions(stdParms), record ? record->privateData : nullptr);
    return host::kResultSuccess;
}

// Clip information, description, data rate, preferences, frame delivery, audio and stream
// labels are answered once clips can be decoded and described; until then they are refused
// rather than answered with nothing behind the answer. The index checks are already as final.
std::int32_t PixelFormatPending(host::StandardParams*, std::intptr_t param1, std::intptr_t) {
    return param1 != 0 ? host::kResultBadFormatIndex : host::kResultUnsupported;
}

std::int32_t FrameSizePending(host::StandardParams*, std::intptr_t param1, std::intptr_t) {
    const auto* record = As<host::FrameSizeRecord>(param1);
    return record && record->index != 0 ? host::kResultBadFrameSizeIndex : host::kResultUnsupported;
}

constexpr std::size_t kSelectorCount = 61;

constexpr std::array<Handler, kSelectorCount> MakeTable() {
    std::array<Handler, kSelectorCount> table{};
    for (auto& handler : table) handler = &Unsupported;
    table[host::kSelStartup] = &Startup;
    for (int selector : {1, 23, 24, 40, 41, 42, 43, 44}) table[selector] = &Acknowledge;
    table[host::kSelQuiet] = &Quiet;
    table[host::kSelClose] = &Close;
    table[host::kSelFileFormat] = &FileFormat;
    table[host::kSelPixelFormat] = &PixelFormatPending;
    table[host::kSelFixedAnswer] = &FixedAnswer;
    table[host::kSelOpen] = &Open;
    table[host::kSelFrameSize] = &FrameSizePending;
    table[host::kSelLockPrivate] = &LockUnlock;
    table[host::kSelUnlockPrivate] = &LockUnlock;
    return table;
}

constexpr std::array<Handler, kSelectorCount> kHandlers = MakeTable();

}  // namespace
}  // namespace qivo

extern "C" [[gnu::visibility("default")]] std::int32_t xImportEntry(std::int32_t selector,
                                                                    host::StandardParams* stdParms,
                                                                    std::intptr_t param1,
                                                                    std::intptr_t param2) {
    // Compared as unsigned, so that a negative selector is simply out of range.
    const auto index = static_cast<std::uint32_t>(selector);
    if (index >= qivo::kSelectorCount) return host::kResultUnsupported;
    try {
        return qivo::kHandlers[index](stdParms, param1, param2);
    } catch (...) {
        // Nothing may unwind into the host; the handlers' locks have been released on the way.
        return host::kResultCannotOpen;
    }
}
