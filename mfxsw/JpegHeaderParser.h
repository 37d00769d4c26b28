#pragma once
// Finds and reads the frame header of the first JPEG picture in a run of concatenated
// pictures (motion JPEG).
#include "StreamHeader.h"

#include <cstddef>
#include <cstdint>

namespace mfxsw {

class JpegHeaderParser {
public:
    // Found once the SOF segment of a picture has been read; the header starts at its SOI.
    static HeaderSearch Search(const uint8_t* data, size_t size, bool endOfStream);

private:
    static bool ReadFrameHeader(const uint8_t* p, size_t n, uint8_t marker, StreamHeader& h);
};

}  // namespace mfxsw
