#include "JpegHeaderParser.h"

#include <mfxvideo.h>
#include <mfxjpeg.h>

namespace mfxsw {
namespace {

// Sampling that none of the named chroma formats describes (the SDK's value 6).
constexpr uint16_t kChromaJpegSampling = 6;
constexpr uint8_t kSoi = 0xD8, kEoi = 0xD9, kApp0 = 0xE0, kSos = 0xDA;

uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

}  // namespace

bool JpegHeaderParser::ReadFrameHeader(const uint8_t* p, size_t n, uint8_t marker,
                                       StreamHeader& h) {
    if (n < 6) return false;
    uint32_t precision = p[0];
    uint32_t height = Be16(p + 1);
    uint32_t width = Be16(p + 3);
    uint32_t components = p[5];
    if (n < 6 + 3 * components || width == 0 || height == 0) return false;
    if (width > kMaxPictureSide || height > kMaxPictureSide) return false;
    h.codedWidth = static_cast<uint16_t>((width + 15) & ~15u);
    h.codedHeight = static_cast<uint16_t>((height + 15) & ~15u);
    h.cropX = h.cropY = 0;
    h.cropW = static_cast<uint16_t>(width);
    h.cropH = static_cast<uint16_t>(height);
    h.fieldCoding = false;
    h.bitDepth = static_cast<uint16_t>(precision);
    h.profile = marker == 0xC0 ? MFX_PROFILE_JPEG_BASELINE : 0;
    h.level = 0;
    h.referenceFrames = 0;
    h.jpegColorFormat = components == 3 ? MFX_JPEG_COLORFORMAT_YCbCr : MFX_JPEG_COLORFORMAT_UNKNOWN;
    h.chromaFormat = kChromaJpegSampling;
    if (components == 1) {
        h.chromaFormat = MFX_CHROMAFORMAT_YUV400;
    } else if (components == 3) {
        // The subsampling is the ratio of luma to chroma sampling factors; encoders write
        // 4:2:2 both as 2x1/1x1/1x1 and as 2x2/1x2/1x2.
        const uint8_t* c = p + 6;
        uint32_t lumaH = c[1] >> 4, lumaV = c[1] & 15, chromaH = c[4] >> 4, chromaV = c[4] & 15;
        if (c[4] == c[7] && chromaH && chromaV && lumaH % chromaH == 0 && lumaV % chromaV == 0) {
            uint32_t ratioH = lumaH / chromaH, ratioV = lumaV / chromaV;
            if (ratioH == 2 && ratioV == 2) h.chromaFormat = MFX_CHROMAFORMAT_YUV420;
            else if (ratioH == 2 && ratioV == 1) h.chromaFormat = MFX_CHROMAFORMAT_YUV422H;
            else if (ratioH == 1 && ratioV == 2) h.chromaFormat = MFX_CHROMAFORMAT_YUV422V;
            else if (ratioH == 1 && ratioV == 1) h.chromaFormat = MFX_CHROMAFORMAT_YUV444;
            else if (ratioH == 4 && ratioV == 1) h.chromaFormat = MFX_CHROMAFORMAT_YUV411;
        }
    }
    // Only the baseline and extended sequential processes give 8-bit pictures libavcodec
    // can hand over as planes; progressive and lossless pictures are refused later.
    if (marker != 0xC0 && marker != 0xC1) h.bitDepth = 0;
    return true;
}

HeaderSearch JpegHeaderParser::Search(const uint8_t* data, size_t size, bool endOfStream) {
    (void)endOfStream;  // a frame header is complete once its segment length is in the buffer
    HeaderSearch found;
    for (size_t soi = 0; soi + 1 < size; ++soi) {
        if (data[soi] != 0xFF || data[soi + 1] != kSoi) continue;
        found.headerOffset = soi;
        found.headerStartKnown = true;
        found.result = HeaderSearch::Result::kNeedMore;
        size_t pos = soi + 2;
        bool broken = false;
        bool squarePixels = true;
        uint16_t densityX = 0, densityY = 0;
        for (;;) {
            while (pos < size && data[pos] == 0xFF && pos + 1 < size && data[pos + 1] == 0xFF)
                ++pos;  // fill bytes
            if (pos + 4 > size) return found;
            if (data[pos] != 0xFF) {
                broken = true;
                break;
            }
            uint8_t marker = data[pos + 1];
            if (marker == kEoi || marker == kSoi || marker == kSos) {
                broken = true;  // no frame header before the scan
                break;
            }
            size_t length = Be16(data + pos + 2);
            if (length < 2) {
                broken = true;
                break;
            }
            if (pos + 2 + length > size) return found;
            const uint8_t* segment = data + pos + 4;
            size_t segmentSize = length - 2;
            if (marker == kApp0 && segmentSize >= 12 && segment[0] == 'J' && segment[1] == 'F' &&
                segment[2] == 'I' && segment[3] == 'F' && segment[4] == 0) {
                // Units 0 gives only the pixel aspect ratio.
                if (segment[7] == 0) {
                    densityX = Be16(segment + 8);
                    densityY = Be16(segment + 10);
                    squarePixels = false;
                }
            }
            bool frameHeader = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 &&
                               marker != 0xC8 && marker != 0xCC;
            if (frameHeader) {
                if (!ReadFrameHeader(segment, segmentSize, marker, found.header)) {
                    broken = true;
                    break;
                }
                if (!squarePixels && densityX && densityY) {
                    found.header.aspectW = densityX;
                    found.header.aspectH = densityY;
                } else {
                    found.header.aspectW = found.header.aspectH = 1;
                }
                found.result = HeaderSearch::Result::kFound;
                return found;
            }
            pos += 2 + length;
        }
        if (broken) {
            found = HeaderSearch{};
            continue;
        }
    }
    return found;
}

}  // namespace mfxsw
