#pragma once
// Everything the importer knows about one clip, kept in the host's memory handle between
// requests. The handle's bytes are zero-filled and the record is constructed in them at the
// first open, and destroyed in them at close; owning members therefore release themselves.

#include <cstdint>
#include <cstdio>
#include <memory>

#include "host/HostSdk.h"
#include "source/FrameSource.h"

namespace qivo {

// Host text buffers hold 260 UTF-16 units with the terminator.
inline constexpr std::size_t kPathCapacity = 260;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

struct ClipRecord {
    // Size of the host memory handle that holds the record.
    static constexpr std::int32_t kHandleSize = 2744;

    char16_t descriptorPath[kPathCapacity];
    std::int32_t videoPresent;
    std::int32_t audioPresent;
    std::unique_ptr<FrameSource> frameSource;
    std::int32_t width, height;
    std::int64_t ticksPerFrame;
    std::int32_t fieldType;  // 0 progressive, 1 top field first, 2 bottom field first
    std::int32_t parNum, parDen;
    std::int32_t frameCount;
    char16_t videoPath[kPathCapacity];
    char16_t dependentPath[kPathCapacity];
    char16_t logPath[kPathCapacity];
    // The clip's log stream; the frame source writes to it through its logFile.
    std::unique_ptr<std::FILE, FileCloser> logFile;
    std::int32_t audioContainer;  // 2: transport stream with LPCM audio, 0: raw PCM
    std::int32_t sampleRate, channelCount, bitDepth;
    bool bigEndian;
    char16_t audioPath[kPathCapacity];
    std::int64_t nextAudioSample;
    const host::BasicSuite* basicSuite;
    const host::PPixCreatorSuite* ppixCreatorSuite;
    const host::PPix2Suite* ppix2Suite;
    const host::TimeSuite* timeSuite;
    const host::StringSuite* stringSuite;
};

static_assert(sizeof(ClipRecord) <= ClipRecord::kHandleSize, "the clip record must fit its handle");
static_assert(alignof(ClipRecord) <= alignof(std::max_align_t));

// Audio containers.
inline constexpr std::int32_t kAudioRawPcm = 0;
inline constexpr std::int32_t kAudioTsLpcm = 2;

// Field types.
inline constexpr std::int32_t kProgressive = 0;
inline constexpr std::int32_t kTopFieldFirst = 1;
inline constexpr std::int32_t kBottomFieldFirst = 2;

}  // namespace qivo
