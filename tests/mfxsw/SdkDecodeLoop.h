#pragma once
// Drives the SDK API through Debian's dispatcher the way the plug-in's decode loop does: the
// runtime is loaded from the binary's folder, the bitstream is a 1 MiB buffer topped up from
// the file without any framing, the header is parsed (growing the buffer and setting the end
// of stream flag as needed), surfaces come from QueryIOSurf, and pictures are decoded,
// synchronised and drained one call at a time.
#include <mfxvideo.h>

#include <cstdint>
#include <string>
#include <vector>

namespace mfxsw_test {

struct DecodedPicture {
    std::string md5;              // of the visible picture as planar 4:2:0 (Y, Cb, Cr)
    std::vector<uint8_t> planes;  // the same bytes, kept when asked for
    mfxFrameInfo info{};          // as the output surface described it
    mfxU16 lockedBeforeSync = 0;
    mfxU16 lockedAfterSync = 0;
};

struct DecodeRun {
    mfxStatus status = MFX_ERR_NONE;  // the first failure, with the step that failed
    std::string failedAt;
    mfxVideoParam header{};  // as DecodeHeader described the stream
    mfxFrameAllocRequest request{};
    std::vector<DecodedPicture> pictures;
    int moreSurface = 0;  // MFX_ERR_MORE_SURFACE answers
};

class SdkDecodeLoop {
public:
    struct Options {
        mfxU32 codec = MFX_CODEC_AVC;
        mfxIMPL impl = MFX_IMPL_AUTO_ANY;
        mfxU16 asyncDepth = 4;
        bool videoMemory = false;
        bool keepPlanes = false;
        // Motion JPEG fields: the pipeline's set-up for an AVI1 polarity of top (or bottom)
        // field first: this PicStruct, CropH doubled, Height rounded up to 16 from it.
        mfxU16 jpegFieldOrder = 0;
        size_t bufferSize = 1 << 20;
    };

    static DecodeRun Run(const std::string& path, const Options& options);
};

// The visible part of an NV12 picture as planar 4:2:0.
std::vector<uint8_t> PackNv12(const mfxFrameInfo& info, const mfxFrameData& data);
std::string Md5Hex(const std::vector<uint8_t>& bytes);

}  // namespace mfxsw_test
