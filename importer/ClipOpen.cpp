#include "importer/ClipOpen.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <limits>
#include <memory>
#include <new>
#include <string>

#include "common/FileAccess.h"
#include "importer/ClipRecord.h"
#include "importer/FileType.h"
#include "importer/HostSuites.h"
#include "importer/PrivateDataLock.h"
#include "importer/ReadDescriptor.h"
#include "input/CTSDemuxFeeder.h"
#include "platform/Utf.h"
#include "source/CountRawFrames.h"

namespace qivo {
namespace {

// The record in a new, zero-filled handle, stored in the open record; null when the host has
// no memory to give.
host::MemoryHandle CreateRecordHandle(const host::MemoryFuncs& memory) {
    host::MemoryHandle handle = memory.newHandle(ClipRecord::kHandleSize);
    if (!handle) return nullptr;
    PrivateDataLock lock(&memory, handle);
    if (!lock.Data()) {
        memory.disposeHandle(handle);
        return nullptr;
    }
    std::memset(lock.Data(), 0, ClipRecord::kHandleSize);
    new (lock.Data()) ClipRecord();
    return handle;
}

// Copies the host's path unless the host gave none.
void CopyHostPath(const char16_t* hostPath, char16_t (&into)[kPathCapacity]) {
    if (hostPath[0] == 0) return;
    std::size_t n = 0;
    while (n + 1 < kPathCapacity && hostPath[n]) {
        into[n] = hostPath[n];
        ++n;
    }
    into[n] = 0;
}

std::string Utf8(const char16_t (&path)[kPathCapacity]) { return platform::FromHostText(path, kPathCapacity); }

// Reports a failure on the clip's log, the one place a clip's messages go.
void LogLine(const ClipRecord& record, const std::string& line) {
    if (!record.logFile) return;
    std::fputs(line.c_str(), record.logFile.get());
    std::fflush(record.logFile.get());
}

void OpenLogFile(ClipRecord& record) {
    const std::string path = Utf8(record.logPath);
    if (path.empty()) return;
    record.logFile.reset(std::fopen(path.c_str(), "w"));
    record.frameSource->logFile = record.logFile.get();
}

void StoreFrameCount(ClipRecord& record, std::int32_t frames) {
    record.frameCount = frames;
    record.frameSource->settings.frameCount = frames;
    if (!WriteFrameCount(record, frames)) {
        const int error = errno;
        LogLine(record, "Cannot store num_frames in " + Utf8(record.descriptorPath) + ": " +
                            std::strerror(error) + "\n");
    }
}

// Transport-stream type of a codec's video, or 0 when a transport stream cannot carry it.
std::uint8_t StreamTypeOf(std::uint32_t codec) {
    switch (codec) {
        case MFX_CODEC_MPEG2: return 2;
        case MFX_CODEC_AVC: return 27;
        case MFX_CODEC_VC1: return 234;
        default: return 0;
    }
}

// A transport stream does not say how many pictures it holds: one full pass counts them, and
// the count is kept in the descriptor so that later opens skip the pass. A pipe cannot be read
// twice, so it is never counted.
void CountTransportStreamFrames(ClipRecord& record) {
    const SourceSettings& settings = record.frameSource->settings;
    const std::uint8_t streamType = StreamTypeOf(settings.codec);
    if (settings.frameCount > 0 || !settings.isTransportStream || streamType == 0 ||
        settings.inputFiles.empty() || IsPipePath(settings.inputFiles.front())) {
        return;
    }
    CTSDemuxFeeder feeder;
    feeder.SetTsStream(settings.inputFiles.front(), streamType);
    if (!feeder.Start()) return;
    constexpr std::uint32_t kPassBlock = 1048576;
    while (feeder.Read(nullptr, kPassBlock, nullptr)) {
    }
    feeder.Stop();
    const std::int64_t counted = feeder.countedFrames;
    StoreFrameCount(record, counted > std::numeric_limits<std::int32_t>::max()
                                ? std::numeric_limits<std::int32_t>::max()
                                : static_cast<std::int32_t>(counted));
}

// Uncompressed clips are read straight from the file; their picture and timing come only from
// the descriptor, so without a size or a rate no frame can be found.
bool SetUpRawVideo(ClipRecord& record, int fd) {
    if (record.width <= 0 || record.height <= 0 || record.ticksPerFrame <= 0) return false;
    if (record.frameCount == 0) {
        const std::int32_t frames = CountRawFrames(fd, record.width, record.height);
        if (frames < 0) return false;
        StoreFrameCount(record, frames);
    }
    record.videoPresent = 1;
    return true;
}

void CloseFile(host::FileRef* file) {
    if (file && *file != host::kInvalidFileRef) {
        ::close(static_cast<int>(*file));
        *file = host::kInvalidFileRef;
    }
}

}  // namespace

std::int32_t OpenClip(const host::StandardParams* stdParms, host::FileRef* file, host::OpenRecord* open) {
    const host::MemoryFuncs* memory = MemoryFunctions(stdParms);
    if (!memory || !open) return host::kResultCannotOpen;

    const bool firstOpen = open->privateData == nullptr;
    if (firstOpen) {
        open->privateData = CreateRecordHandle(*memory);
        if (!open->privateData) return host::kResultCannotOpen;
    }
    PrivateDataLock lock(memory, open->privateData);
    ClipRecord* record = lock.Record();
    if (!record) return host::kResultCannotOpen;

    if (firstOpen) {
        AcquireSuites(stdParms, *record);
        record->frameSource = std::make_unique<FrameSource>();
        CopyHostPath(open->path, record->descriptorPath);
        ReadDescriptor(*record);
    }
    if (!record->frameSource) return host::kResultCannotOpen;

    platform::FileHandle video = OpenForReading(Utf8(record->videoPath));
    if (!video) return host::kResultCannotOpen;
    const int fd = video.release();
    if (file) *file = fd;
    open->fileRef = fd;
    CopyHostPath(open->path, record->descriptorPath);
    open->fileType = kQivoFileType;

    if (firstOpen) {
        OpenLogFile(*record);
        CountTransportStreamFrames(*record);
    }

    record->videoPresent = 0;
    if (record->frameSource->settings.codec != 0) {
        // Compressed clips are decoded by the frame source, which this build does not have:
        // the clip cannot be opened.
        return host::kResultCannotOpen;
    }
    if (!SetUpRawVideo(*record, fd)) return host::kResultCannotOpen;

    // Audio sources are not part of this build; a clip that names audio cannot be delivered
    // as described.
    record->audioPresent = 0;
    if (record->audioPath[0] != 0) return host::kResultCannotOpen;
    return host::kResultSuccess;
}

std::int32_t QuietClip(const host::StandardParams* stdParms, host::FileRef* file, host::MemoryHandle privateData) {
    {
        // Nothing to stop yet: neither an audio source nor a decoder is ever started.
        PrivateDataLock lock(MemoryFunctions(stdParms), privateData);
    }
    CloseFile(file);
    return host::kResultSuccess;
}

std::int32_t CloseClip(const host::StandardParams* stdParms, host::FileRef* file, host::MemoryHandle privateData) {
    if (file && *file != host::kInvalidFileRef) QuietClip(stdParms, file, privateData);

    const host::MemoryFuncs* memory = MemoryFunctions(stdParms);
    if (!memory || !privateData) return host::kResultSuccess;
    PrivateDataLock lock(memory, privateData);
    if (ClipRecord* record = lock.Record()) {
        if (record->frameSource) record->frameSource->logFile = nullptr;
        record->logFile.reset();
        ReleaseSuites(*record);
        record->frameSource.reset();
        std::destroy_at(record);
    }
    lock.Release();
    memory->disposeHandle(privateData);
    return host::kResultSuccess;
}

}  // namespace qivo
