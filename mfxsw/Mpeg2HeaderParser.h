#pragma once
// Finds and reads the sequence header of an MPEG-1/MPEG-2 video elementary stream, with the
// sequence extension and sequence display extension that follow it.
#include "StreamHeader.h"

#include <cstddef>
#include <cstdint>

namespace mfxsw {

class Mpeg2HeaderParser {
public:
    // Found once the sequence header and its extensions are complete: the next start code
    // that is not an extension (GOP or picture) has been seen, or the stream ends.
    static HeaderSearch Search(const uint8_t* data, size_t size, bool endOfStream);

private:
    static bool ReadSequenceHeader(const uint8_t* p, size_t n, StreamHeader& h,
                                   uint32_t& aspectCode, uint32_t& rateCode);
};

}  // namespace mfxsw
