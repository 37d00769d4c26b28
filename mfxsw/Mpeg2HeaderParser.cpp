#include "Mpeg2HeaderParser.h"

#include "BitReader.h"
#include "StartCode.h"

#include <mfxvideo.h>

#include <numeric>

namespace mfxsw {
namespace {

constexpr uint8_t kSequenceHeader = 0xB3, kExtension = 0xB5, kSequenceEnd = 0xB7;

constexpr uint32_t kFrameRates[9][2] = {{0, 0},       {24000, 1001}, {24, 1},
                                        {25, 1},      {30000, 1001}, {30, 1},
                                        {50, 1},      {60000, 1001}, {60, 1}};

// Display aspect ratios of aspect_ratio_information 2..4 (1 is square samples).
constexpr uint32_t kDisplayAspect[5][2] = {{0, 0}, {1, 1}, {4, 3}, {16, 9}, {221, 100}};

void Reduce(uint64_t& a, uint64_t& b) {
    uint64_t g = std::gcd(a, b);
    if (g > 1) {
        a /= g;
        b /= g;
    }
}

}  // namespace

bool Mpeg2HeaderParser::ReadSequenceHeader(const uint8_t* p, size_t n, StreamHeader& h,
                                           uint32_t& aspectCode, uint32_t& rateCode) {
    BitReader bits(p, n, false);
    uint32_t width = bits.U(12);
    uint32_t height = bits.U(12);
    aspectCode = bits.U(4);
    rateCode = bits.U(4);
    if (bits.Overrun() || width == 0 || height == 0) return false;
    h.codedWidth = static_cast<uint16_t>((width + 15) & ~15u);
    h.codedHeight = static_cast<uint16_t>((height + 15) & ~15u);
    h.cropX = h.cropY = 0;
    h.cropW = static_cast<uint16_t>(width);
    h.cropH = static_cast<uint16_t>(height);
    h.chromaFormat = MFX_CHROMAFORMAT_YUV420;
    h.bitDepth = 8;
    h.fieldCoding = false;  // MPEG-1 has only progressive pictures
    if (rateCode >= 1 && rateCode <= 8) {
        h.frameRateN = kFrameRates[rateCode][0];
        h.frameRateD = kFrameRates[rateCode][1];
    }
    h.referenceFrames = 2;
    return true;
}

HeaderSearch Mpeg2HeaderParser::Search(const uint8_t* data, size_t size, bool endOfStream) {
    HeaderSearch found;
    size_t pos = FindStartCode(data, size, 0);
    while (pos != kNoStartCode && (pos + 3 >= size || data[pos + 3] != kSequenceHeader))
        pos = FindStartCode(data, size, pos + 3);
    if (pos == kNoStartCode) return found;
    found.headerOffset = pos;
    found.headerStartKnown = true;
    found.result = HeaderSearch::Result::kNeedMore;

    StreamHeader& h = found.header;
    uint32_t aspectCode = 0, rateCode = 0;
    bool mpeg2 = false;
    uint32_t displayW = 0, displayH = 0;
    uint32_t sizeExtW = 0, sizeExtH = 0;
    size_t unit = pos;
    bool parsedSequence = false;
    for (;;) {
        size_t next = FindStartCode(data, size, unit + 4);
        if (next == kNoStartCode && !endOfStream) return found;
        size_t end = next == kNoStartCode ? size : next;
        const uint8_t* body = data + unit + 4;
        size_t bodySize = end > unit + 4 ? end - unit - 4 : 0;
        uint8_t code = unit + 3 < size ? data[unit + 3] : 0;
        if (!parsedSequence) {
            if (!ReadSequenceHeader(body, bodySize, h, aspectCode, rateCode)) {
                found.result = HeaderSearch::Result::kNotFound;
                found.headerStartKnown = false;
                return found;
            }
            parsedSequence = true;
        } else if (code == kExtension && bodySize > 0) {
            BitReader bits(body, bodySize, false);
            uint32_t id = bits.U(4);
            if (id == 1) {  // sequence extension
                mpeg2 = true;
                uint32_t profileLevel = bits.U(8);
                bool progressive = bits.Flag();
                uint32_t chroma = bits.U(2);
                sizeExtW = bits.U(2);
                sizeExtH = bits.U(2);
                bits.U(12);
                bits.U(1);
                bits.U(8);
                bits.U(1);
                uint32_t rateExtN = bits.U(2);
                uint32_t rateExtD = bits.U(5);
                h.profile = static_cast<uint16_t>(((profileLevel >> 4) & 7) << 4);
                h.level = static_cast<uint16_t>(profileLevel & 0xF);
                h.fieldCoding = !progressive;
                h.chromaFormat = chroma == 2   ? MFX_CHROMAFORMAT_YUV422
                                 : chroma == 3 ? MFX_CHROMAFORMAT_YUV444
                                               : MFX_CHROMAFORMAT_YUV420;
                if (h.frameRateN != 0) {
                    uint64_t n = uint64_t(h.frameRateN) * (rateExtN + 1);
                    uint64_t d = uint64_t(h.frameRateD) * (rateExtD + 1);
                    Reduce(n, d);
                    h.frameRateN = static_cast<uint32_t>(n);
                    h.frameRateD = static_cast<uint32_t>(d);
                }
            } else if (id == 2) {  // sequence display extension
                bits.U(3);
                if (bits.Flag()) bits.U(24);
                displayW = bits.U(14);
                bits.U(1);
                displayH = bits.U(14);
                if (bits.Overrun()) displayW = displayH = 0;
            }
        } else if (code != kExtension) {
            break;  // GOP, picture, user data or sequence end: the header is complete
        }
        if (next == kNoStartCode || code == kSequenceEnd) break;
        unit = next;
    }

    uint32_t width = h.cropW | (sizeExtW << 12);
    uint32_t height = h.cropH | (sizeExtH << 12);
    if (width > kMaxPictureSide || height > kMaxPictureSide) {
        found.result = HeaderSearch::Result::kNotFound;
        return found;
    }
    h.cropW = static_cast<uint16_t>(width);
    h.cropH = static_cast<uint16_t>(height);
    h.codedWidth = static_cast<uint16_t>((width + 15) & ~15u);
    h.codedHeight = static_cast<uint16_t>((height + (h.fieldCoding ? 31 : 15)) &
                                          ~(h.fieldCoding ? 31u : 15u));
    if (aspectCode == 1) {
        h.aspectW = h.aspectH = 1;
    } else if (mpeg2 && aspectCode >= 2 && aspectCode <= 4) {
        // The stream gives the display aspect; the SDK reports the sample aspect.
        uint64_t dispW = displayW ? displayW : width;
        uint64_t dispH = displayH ? displayH : height;
        uint64_t sarW = kDisplayAspect[aspectCode][0] * dispH;
        uint64_t sarH = kDisplayAspect[aspectCode][1] * dispW;
        Reduce(sarW, sarH);
        if (sarW <= UINT16_MAX && sarH <= UINT16_MAX) {
            h.aspectW = static_cast<uint16_t>(sarW);
            h.aspectH = static_cast<uint16_t>(sarH);
        }
    }
    if (!mpeg2) {
        h.profile = h.level = 0;
    }
    found.result = HeaderSearch::Result::kFound;
    return found;
}

}  // namespace mfxsw
