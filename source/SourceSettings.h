#pragma once
// A clip's decoding and presentation choices, carried from the clip descriptor to the frame
// source and the decoding pipeline.

#include <cstdint>
#include <string>
#include <vector>

#include <mfxcommon.h>
#include <mfxjpeg.h>
#include <mfxstructures.h>

namespace qivo {

// Stereo composition handed to the decoded-frame writer.
inline constexpr std::uint16_t kWriterSideBySide = 1;
inline constexpr std::uint16_t kWriterTopBottom = 2;
inline constexpr std::uint16_t kWriterSwapViews = 8;

// How a stereo clip is presented.
inline constexpr std::int32_t kLayoutNone = 0;
inline constexpr std::int32_t kLayoutSideBySide = 1;
inline constexpr std::int32_t kLayoutTopBottom = 2;
inline constexpr std::int32_t kLayoutLeftOnly = 4;
inline constexpr std::int32_t kLayoutRightOnly = 8;

// mvcFlags: the stream is a stereo MVC stream.
inline constexpr std::uint16_t kMvcStereo = 1;

// Where decoded surfaces live.
inline constexpr std::uint32_t kMemorySystem = 0;
inline constexpr std::uint32_t kMemoryD3D9 = 1;
inline constexpr std::uint32_t kMemoryD3D11 = 2;

struct SourceSettings {
    mfxIMPL impl = MFX_IMPL_AUTO_ANY;
    std::uint32_t memoryType = kMemorySystem;
    std::uint32_t codec = 0;  // 0: an uncompressed YV12 file
    std::uint32_t outputFourCC = 0;
    bool outputEnabled = true;
    std::uint16_t mvcFlags = 0;
    std::uint32_t viewCount = 1;
    bool isTransportStream = false;
    std::uint16_t writerFlags = 0;
    std::uint16_t asyncDepth = 4;
    // UTF-8 copies of the clip's resolved media file names, base view first.
    std::vector<std::string> inputFiles;
    // Always written by the descriptor reader before anything reads them.
    std::int32_t layout = kLayoutNone;
    std::int32_t cacheSize = 1;
    std::int32_t frameCount = 0;
    bool reload = true;
};

}  // namespace qivo
