#pragma once
// Finds and reads the sequence header of a VC-1 advanced profile elementary stream.
#include "StreamHeader.h"

#include <cstddef>
#include <cstdint>

namespace mfxsw {

class Vc1HeaderParser {
public:
    // Found once the sequence header is complete (the next start code follows, or the stream
    // ends). Simple and main profile have no sequence start code and are never found.
    static HeaderSearch Search(const uint8_t* data, size_t size, bool endOfStream);

private:
    static bool ReadSequenceHeader(const uint8_t* p, size_t n, StreamHeader& h);
};

}  // namespace mfxsw
