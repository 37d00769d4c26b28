#pragma once
// What a sequence header tells about the pictures that follow it, in the SDK's terms.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mfxsw {

// Largest picture side the runtime accepts: the SDK's frame sizes are 16-bit after alignment,
// and nothing that large is a real picture of the codecs decoded here.
inline constexpr uint32_t kMaxPictureSide = 16384;

struct StreamHeader {
    uint16_t codedWidth = 0;   // picture size as decoded, before cropping
    uint16_t codedHeight = 0;
    uint16_t cropX = 0, cropY = 0, cropW = 0, cropH = 0;
    uint32_t frameRateN = 0, frameRateD = 0;  // 0/0: the stream does not say
    uint16_t aspectW = 0, aspectH = 0;        // sample aspect ratio; 0:0 unspecified
    bool fieldCoding = false;                 // pictures may be interlaced
    uint16_t chromaFormat = 1;                // MFX_CHROMAFORMAT_* of the coded pictures
    uint16_t bitDepth = 8;
    uint16_t profile = 0, level = 0;          // in the SDK's encoding for the codec
    uint16_t referenceFrames = 0;             // frames a decoder keeps for prediction
    // H.264 without bitstream restriction does not say how many pictures wait for display;
    // then this is the most the level allows (the DPB size), else 0.
    uint16_t unstatedReorderDepth = 0;
    uint16_t jpegColorFormat = 0;             // MFX_JPEG_COLORFORMAT_*
};

struct MvcView {
    uint16_t viewId = 0;
    std::vector<uint16_t> anchorL0, anchorL1, nonAnchorL0, nonAnchorL1;
};

struct MvcOperationPoint {
    uint16_t temporalId = 0;
    uint16_t levelIdc = 0;
    uint16_t numViews = 0;
    std::vector<uint16_t> targetViews;
};

// The views of a multiview stream, from its subset sequence parameter set.
struct MvcDescription {
    uint16_t profile = 0;
    uint16_t referenceFrames = 0;
    std::vector<MvcView> views;
    std::vector<MvcOperationPoint> operationPoints;

    bool InterViewPrediction() const {
        for (const auto& v : views)
            if (!v.anchorL0.empty() || !v.anchorL1.empty() || !v.nonAnchorL0.empty() ||
                !v.nonAnchorL1.empty())
                return true;
        return false;
    }
};

// Result of looking for a sequence header in a byte range.
struct HeaderSearch {
    enum class Result { kFound, kNeedMore, kNotFound };
    Result result = Result::kNotFound;
    size_t headerOffset = 0;  // where the header starts (kFound, and kNeedMore when known)
    bool headerStartKnown = false;
    StreamHeader header;
    bool hasMvc = false;
    MvcDescription mvc;
};

}  // namespace mfxsw
