#pragma once
// Finds and reads the sequence parameter set of an H.264 byte stream (and, for multiview
// streams, the subset sequence parameter set that describes the views).
#include "StreamHeader.h"

#include <cstddef>
#include <cstdint>

namespace mfxsw {

class BitReader;

class AvcHeaderParser {
public:
    // Looks for SPS and PPS from the start of `data`. The header counts as found once both are
    // complete (a NAL unit is complete when the next start code follows, or at the end of the
    // stream); with `wantMvc` the search also waits for the subset SPS or the first slice.
    static HeaderSearch Search(const uint8_t* data, size_t size, bool endOfStream, bool wantMvc);

    // SPS payload after the NAL header byte. False when it is malformed or truncated.
    static bool ParseSps(const uint8_t* payload, size_t size, StreamHeader& header);
    static bool ParseSubsetSps(const uint8_t* payload, size_t size, StreamHeader& header,
                               MvcDescription& mvc);

private:
    static bool ReadSequenceData(BitReader& bits, StreamHeader& header);
    static void ReadVui(BitReader& bits, StreamHeader& header);
    static void ReadHrd(BitReader& bits);
    static bool ReadMvcExtension(BitReader& bits, MvcDescription& mvc);
};

}  // namespace mfxsw
