#include "Vc1HeaderParser.h"

#include "BitReader.h"
#include "StartCode.h"

#include <mfxvideo.h>

#include <numeric>

namespace mfxsw {
namespace {

constexpr uint8_t kSequenceStart = 0x0F;

constexpr uint16_t kSar[14][2] = {{0, 0},   {1, 1},   {12, 11}, {10, 11}, {16, 11},
                                  {40, 33}, {24, 11}, {20, 11}, {32, 11}, {80, 33},
                                  {18, 11}, {15, 11}, {64, 33}, {160, 99}};
constexpr uint32_t kRateNumerator[8] = {0, 24, 25, 30, 50, 60, 48, 72};

}  // namespace

bool Vc1HeaderParser::ReadSequenceHeader(const uint8_t* p, size_t n, StreamHeader& h) {
    BitReader bits(p, n, true);
    uint32_t profile = bits.U(2);
    if (profile != 3) return false;
    uint32_t level = bits.U(3);
    uint32_t colorDiff = bits.U(2);
    bits.U(3);  // FRMRTQ_POSTPROC
    bits.U(5);  // BITRTQ_POSTPROC
    bits.U(1);  // POSTPROCFLAG
    uint32_t width = (bits.U(12) + 1) * 2;
    uint32_t height = (bits.U(12) + 1) * 2;
    bits.U(1);  // PULLDOWN
    bool interlace = bits.Flag();
    bits.U(4);  // TFCNTRFLAG, FINTERPFLAG, RESERVED, PSF
    h.aspectW = h.aspectH = 0;
    h.frameRateN = h.frameRateD = 0;
    if (bits.Flag()) {  // DISPLAY_EXT
        bits.U(14);
        bits.U(14);
        if (bits.Flag()) {
            uint32_t aspect = bits.U(4);
            if (aspect == 15) {
                h.aspectW = static_cast<uint16_t>(bits.U(8));
                h.aspectH = static_cast<uint16_t>(bits.U(8));
            } else if (aspect < 14) {
                h.aspectW = kSar[aspect][0];
                h.aspectH = kSar[aspect][1];
            }
        }
        if (bits.Flag()) {  // FRAMERATE_FLAG
            if (!bits.Flag()) {
                uint32_t nr = bits.U(8);
                uint32_t dr = bits.U(4);
                if (nr >= 1 && nr <= 7 && (dr == 1 || dr == 2)) {
                    uint64_t num = uint64_t(kRateNumerator[nr]) * 1000;
                    uint64_t den = dr == 1 ? 1000 : 1001;
                    uint64_t g = std::gcd(num, den);
                    h.frameRateN = static_cast<uint32_t>(num / g);
                    h.frameRateD = static_cast<uint32_t>(den / g);
                }
            } else {
                h.frameRateN = bits.U(16) + 1;
                h.frameRateD = 32;
            }
        }
    }
    if (bits.Overrun()) return false;
    h.codedWidth = static_cast<uint16_t>(width);
    h.codedHeight = static_cast<uint16_t>(height);
    h.cropX = h.cropY = 0;
    h.cropW = static_cast<uint16_t>(width);
    h.cropH = static_cast<uint16_t>(height);
    h.fieldCoding = interlace;
    h.chromaFormat = colorDiff == 1 ? MFX_CHROMAFORMAT_YUV420 : MFX_CHROMAFORMAT_YUV422;
    h.bitDepth = 8;
    h.profile = MFX_PROFILE_VC1_ADVANCED;
    h.level = static_cast<uint16_t>(level + 1);
    h.referenceFrames = 2;
    return true;
}

HeaderSearch Vc1HeaderParser::Search(const uint8_t* data, size_t size, bool endOfStream) {
    HeaderSearch found;
    size_t pos = FindStartCode(data, size, 0);
    while (pos != kNoStartCode) {
        if (pos + 3 < size && data[pos + 3] == kSequenceStart) {
            size_t next = FindStartCode(data, size, pos + 4);
            found.headerOffset = pos;
            found.headerStartKnown = true;
            if (next == kNoStartCode && !endOfStream) {
                found.result = HeaderSearch::Result::kNeedMore;
                return found;
            }
            size_t end = next == kNoStartCode ? size : next;
            if (ReadSequenceHeader(data + pos + 4, end - pos - 4, found.header)) {
                found.result = HeaderSearch::Result::kFound;
                return found;
            }
            found.headerStartKnown = false;
            pos = next;
            continue;
        }
        pos = FindStartCode(data, size, pos + 3);
    }
    return found;
}

}  // namespace mfxsw
