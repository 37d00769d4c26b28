#include "AvcHeaderParser.h"

#include "BitReader.h"
#include "StartCode.h"

#include <mfxvideo.h>

#include <algorithm>
#include <numeric>

namespace mfxsw {
namespace {

constexpr uint8_t kNalSlice = 1, kNalIdr = 5, kNalSps = 7, kNalPps = 8, kNalSubsetSps = 15,
                  kNalSliceExtension = 20;

// Table E-1 sample aspect ratios, aspect_ratio_idc 1..16.
constexpr uint16_t kSar[17][2] = {{0, 0},   {1, 1},   {12, 11}, {10, 11}, {16, 11}, {40, 33},
                                  {24, 11}, {20, 11}, {32, 11}, {80, 33}, {18, 11}, {15, 11},
                                  {64, 33}, {160, 99}, {4, 3},  {3, 2},   {2, 1}};

bool HasChromaFields(uint32_t profile) {
    switch (profile) {
        case 100: case 110: case 122: case 244: case 44: case 83: case 86:
        case 118: case 128: case 138: case 139: case 134: case 135:
            return true;
        default:
            return false;
    }
}

// Table A-1: MaxDpbMbs by level_idc.
uint32_t MaxDpbMbs(uint32_t level) {
    switch (level) {
        case 9: case 10: return 396;
        case 11: return 900;
        case 12: case 13: case 20: return 2376;
        case 21: return 4752;
        case 22: case 30: return 8100;
        case 31: return 18000;
        case 32: return 20480;
        case 40: case 41: return 32768;
        case 42: return 34816;
        case 50: return 110400;
        case 51: case 52: return 184320;
        default: return level > 52 ? 696320 : 184320;
    }
}

// False when a delta lies outside -128..127: only damage writes one, and its Exp-Golomb value
// may be as large as 2^31, too large to add to the running scale.
bool SkipScalingList(BitReader& bits, int size) {
    int last = 8, next = 8;
    for (int j = 0; j < size; ++j) {
        if (next != 0) {
            int32_t delta = bits.Se();
            if (delta < -128 || delta > 127) return false;
            next = (last + delta + 256) % 256;
        }
        last = next == 0 ? last : next;
    }
    return true;
}

}  // namespace

bool AvcHeaderParser::ReadSequenceData(BitReader& bits, StreamHeader& h) {
    uint32_t profile = bits.U(8);
    bits.U(8);  // constraint flags
    uint32_t level = bits.U(8);
    if (bits.Ue() > 31) return false;  // seq_parameter_set_id
    uint32_t chromaFormatIdc = 1, bitDepthLuma = 8, bitDepthChroma = 8;
    bool separateColourPlanes = false;
    if (HasChromaFields(profile)) {
        chromaFormatIdc = bits.Ue();
        if (chromaFormatIdc > 3) return false;
        if (chromaFormatIdc == 3) separateColourPlanes = bits.Flag();
        bitDepthLuma = bits.Ue() + 8;
        bitDepthChroma = bits.Ue() + 8;
        bits.Flag();  // qpprime_y_zero_transform_bypass
        if (bits.Flag()) {
            int lists = chromaFormatIdc == 3 ? 12 : 8;
            for (int i = 0; i < lists; ++i)
                if (bits.Flag() && !SkipScalingList(bits, i < 6 ? 16 : 64)) return false;
        }
    }
    bits.Ue();  // log2_max_frame_num_minus4
    uint32_t pocType = bits.Ue();
    if (pocType == 0) {
        bits.Ue();
    } else if (pocType == 1) {
        bits.Flag();
        bits.Se();
        bits.Se();
        uint32_t cycle = bits.Ue();
        if (cycle > 255) return false;
        for (uint32_t i = 0; i < cycle; ++i) bits.Se();
    } else if (pocType != 2) {
        return false;
    }
    uint32_t refFrames = bits.Ue();
    bits.Flag();  // gaps_in_frame_num_value_allowed
    uint32_t widthMbs = bits.Ue() + 1;
    uint32_t heightMapUnits = bits.Ue() + 1;
    bool frameMbsOnly = bits.Flag();
    if (!frameMbsOnly) bits.Flag();  // mb_adaptive_frame_field
    bits.Flag();                     // direct_8x8_inference
    uint32_t cropLeft = 0, cropRight = 0, cropTop = 0, cropBottom = 0;
    if (bits.Flag()) {
        cropLeft = bits.Ue();
        cropRight = bits.Ue();
        cropTop = bits.Ue();
        cropBottom = bits.Ue();
    }
    // Checked before multiplying: a count near 2^32 would wrap to a small, plausible size.
    uint32_t mapUnitHeight = frameMbsOnly ? 16 : 32;
    if (bits.Overrun() || widthMbs > kMaxPictureSide / 16 || heightMapUnits > kMaxPictureSide / mapUnitHeight ||
        refFrames > 16)
        return false;
    uint32_t width = widthMbs * 16;
    uint32_t height = heightMapUnits * mapUnitHeight;

    uint32_t cropUnitX = 1, cropUnitY = frameMbsOnly ? 1 : 2;
    if (chromaFormatIdc != 0 && !separateColourPlanes) {
        cropUnitX *= chromaFormatIdc == 3 ? 1 : 2;
        cropUnitY *= chromaFormatIdc == 1 ? 2 : 1;
    }
    uint64_t cutX = (uint64_t(cropLeft) + cropRight) * cropUnitX;
    uint64_t cutY = (uint64_t(cropTop) + cropBottom) * cropUnitY;
    if (cutX >= width || cutY >= height) return false;

    h.codedWidth = static_cast<uint16_t>(width);
    h.codedHeight = static_cast<uint16_t>(height);
    h.cropX = static_cast<uint16_t>(cropLeft * cropUnitX);
    h.cropY = static_cast<uint16_t>(cropTop * cropUnitY);
    h.cropW = static_cast<uint16_t>(width - cutX);
    h.cropH = static_cast<uint16_t>(height - cutY);
    h.fieldCoding = !frameMbsOnly;
    static constexpr uint16_t kChroma[4] = {MFX_CHROMAFORMAT_YUV400, MFX_CHROMAFORMAT_YUV420,
                                            MFX_CHROMAFORMAT_YUV422, MFX_CHROMAFORMAT_YUV444};
    h.chromaFormat = kChroma[chromaFormatIdc];
    h.bitDepth = static_cast<uint16_t>(std::max(bitDepthLuma, bitDepthChroma));
    h.profile = static_cast<uint16_t>(profile);
    h.level = static_cast<uint16_t>(level);
    h.referenceFrames = static_cast<uint16_t>(refFrames);
    h.frameRateN = h.frameRateD = 0;
    h.aspectW = h.aspectH = 0;
    uint32_t frameMbs = widthMbs * (height / 16);
    h.unstatedReorderDepth =
        static_cast<uint16_t>(std::min<uint32_t>(16, std::max<uint32_t>(1, MaxDpbMbs(level) / frameMbs)));
    if (bits.Flag()) ReadVui(bits, h);
    return !bits.Overrun();
}

void AvcHeaderParser::ReadHrd(BitReader& bits) {
    uint32_t count = bits.Ue() + 1;
    bits.U(4);
    bits.U(4);
    for (uint32_t i = 0; i < count && i < 32; ++i) {
        bits.Ue();
        bits.Ue();
        bits.Flag();
    }
    bits.U(20);
}

void AvcHeaderParser::ReadVui(BitReader& bits, StreamHeader& h) {
    if (bits.Flag()) {
        uint32_t idc = bits.U(8);
        if (idc == 255) {
            h.aspectW = static_cast<uint16_t>(bits.U(16));
            h.aspectH = static_cast<uint16_t>(bits.U(16));
        } else if (idc < 17) {
            h.aspectW = kSar[idc][0];
            h.aspectH = kSar[idc][1];
        }
    }
    if (bits.Flag()) bits.Flag();  // overscan
    if (bits.Flag()) {             // video signal type
        bits.U(4);
        if (bits.Flag()) bits.U(24);
    }
    if (bits.Flag()) {  // chroma location
        bits.Ue();
        bits.Ue();
    }
    if (bits.Flag()) {  // timing
        uint32_t unitsInTick = bits.U(32);
        uint32_t timeScale = bits.U(32);
        bits.Flag();
        if (unitsInTick != 0 && timeScale != 0) {
            // A frame lasts two ticks.
            uint64_t n = timeScale, d = uint64_t(unitsInTick) * 2;
            uint64_t g = std::gcd(n, d);
            n /= g;
            d /= g;
            if (n <= UINT32_MAX && d <= UINT32_MAX) {
                h.frameRateN = static_cast<uint32_t>(n);
                h.frameRateD = static_cast<uint32_t>(d);
            }
        }
    }
    bool nalHrd = bits.Flag();
    if (nalHrd) ReadHrd(bits);
    bool vclHrd = bits.Flag();
    if (vclHrd) ReadHrd(bits);
    if (nalHrd || vclHrd) bits.Flag();  // low_delay_hrd
    bits.Flag();                        // pic_struct_present
    if (bits.Flag()) {                  // bitstream restriction
        bits.Flag();
        bits.Ue();
        bits.Ue();
        bits.Ue();
        bits.Ue();
        bits.Ue();  // max_num_reorder_frames
        uint32_t maxDecFrameBuffering = bits.Ue();
        h.unstatedReorderDepth = 0;
        if (!bits.Overrun() && maxDecFrameBuffering <= 16)
            h.referenceFrames = static_cast<uint16_t>(maxDecFrameBuffering);
    }
}

bool AvcHeaderParser::ReadMvcExtension(BitReader& bits, MvcDescription& mvc) {
    uint32_t numViews = bits.Ue() + 1;
    if (numViews > 1024) return false;
    mvc.views.assign(numViews, MvcView{});
    for (auto& v : mvc.views) v.viewId = static_cast<uint16_t>(bits.Ue());
    auto readRefs = [&bits](std::vector<uint16_t>& refs) {
        uint32_t n = bits.Ue();
        if (n > 15) return false;
        refs.resize(n);
        for (auto& r : refs) r = static_cast<uint16_t>(bits.Ue());
        return true;
    };
    for (uint32_t i = 1; i < numViews; ++i)
        if (!readRefs(mvc.views[i].anchorL0) || !readRefs(mvc.views[i].anchorL1)) return false;
    for (uint32_t i = 1; i < numViews; ++i)
        if (!readRefs(mvc.views[i].nonAnchorL0) || !readRefs(mvc.views[i].nonAnchorL1))
            return false;
    // Every operation point names a subset of the views; a stream claiming more is damaged,
    // and must not make the description grow without bound.
    constexpr size_t kMaxOperationPoints = 1024;
    uint32_t levels = bits.Ue() + 1;
    if (levels > 64) return false;
    mvc.operationPoints.clear();
    for (uint32_t i = 0; i < levels; ++i) {
        uint16_t levelIdc = static_cast<uint16_t>(bits.U(8));
        uint32_t ops = bits.Ue() + 1;
        if (ops > kMaxOperationPoints - mvc.operationPoints.size() || bits.Overrun()) return false;
        for (uint32_t j = 0; j < ops; ++j) {
            MvcOperationPoint op;
            op.levelIdc = levelIdc;
            op.temporalId = static_cast<uint16_t>(bits.U(3));
            uint32_t targets = bits.Ue() + 1;
            if (targets > numViews || bits.Overrun()) return false;
            op.targetViews.resize(targets);
            for (auto& t : op.targetViews) t = static_cast<uint16_t>(bits.Ue());
            op.numViews = static_cast<uint16_t>(bits.Ue() + 1);
            mvc.operationPoints.push_back(std::move(op));
        }
    }
    return !bits.Overrun();
}

bool AvcHeaderParser::ParseSps(const uint8_t* payload, size_t size, StreamHeader& header) {
    BitReader bits(payload, size, true);
    StreamHeader h;
    if (!ReadSequenceData(bits, h)) return false;
    header = h;
    return true;
}

bool AvcHeaderParser::ParseSubsetSps(const uint8_t* payload, size_t size, StreamHeader& header,
                                     MvcDescription& mvc) {
    BitReader bits(payload, size, true);
    StreamHeader h;
    if (!ReadSequenceData(bits, h)) return false;
    if (h.profile != 118 && h.profile != 128 && h.profile != 134) return false;
    if (!bits.Flag()) return false;  // bit_equal_to_one
    MvcDescription m;
    if (!ReadMvcExtension(bits, m)) return false;
    m.profile = h.profile;
    m.referenceFrames = h.referenceFrames;
    header = h;
    mvc = std::move(m);
    return true;
}

HeaderSearch AvcHeaderParser::Search(const uint8_t* data, size_t size, bool endOfStream,
                                     bool wantMvc) {
    HeaderSearch found;
    bool haveSps = false, havePps = false, haveSubset = false, sliceSeen = false;
    size_t pos = FindStartCode(data, size, 0);
    while (pos != kNoStartCode) {
        size_t payload = pos + 3;
        size_t next = FindStartCode(data, size, payload);
        if (next == kNoStartCode && !endOfStream) {
            // This NAL unit may not be complete; if it is the SPS, the header starts here.
            if (!haveSps && payload < size && (data[payload] & 0x1F) == kNalSps) {
                found.headerOffset = (pos > 0 && data[pos - 1] == 0) ? pos - 1 : pos;
                found.headerStartKnown = true;
            }
            break;
        }
        size_t end = next == kNoStartCode ? size : next;
        // Trailing zeros belong to the next start code (zero_byte), not to this NAL unit.
        while (end > payload && data[end - 1] == 0) --end;
        if (payload < end) {
            uint8_t type = data[payload] & 0x1F;
            const uint8_t* body = data + payload + 1;
            size_t bodySize = end - payload - 1;
            if (!haveSps) {
                if (type == kNalSps && ParseSps(body, bodySize, found.header)) {
                    haveSps = true;
                    found.headerOffset = (pos > 0 && data[pos - 1] == 0) ? pos - 1 : pos;
                    found.headerStartKnown = true;
                }
            } else if (type == kNalPps) {
                havePps = true;
            } else if (type == kNalSubsetSps && !haveSubset) {
                StreamHeader subsetHeader;
                haveSubset = ParseSubsetSps(body, bodySize, subsetHeader, found.mvc);
            } else if (type == kNalSlice || type == kNalIdr || type == kNalSliceExtension) {
                sliceSeen = true;
            }
        }
        if (haveSps && havePps && (!wantMvc || haveSubset || sliceSeen)) break;
        pos = next;
    }
    found.hasMvc = haveSubset;
    if (haveSps && havePps && (!wantMvc || haveSubset || sliceSeen || endOfStream)) {
        found.result = HeaderSearch::Result::kFound;
    } else {
        found.result = haveSps || found.headerStartKnown ? HeaderSearch::Result::kNeedMore
                                                         : HeaderSearch::Result::kNotFound;
    }
    return found;
}

}  // namespace mfxsw
