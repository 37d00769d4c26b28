#pragma once
// One view of a stereo clip (or the only view of a plain H.264 clip): its file, the scanner
// over it, and the NAL unit it is positioned on.

#include <cstdint>
#include <memory>
#include <string>

#include "input/CFileFeeder.h"
#include "input/NalScanner.h"

namespace qivo {

class MvcView {
public:
    // Creates the feeder (a transport stream demultiplexer for the stream type in
    // transport-stream mode) and the scanner, starts the feeder and loads the first buffer.
    // False when any of it fails.
    bool Open(const std::string& fileName, bool transportStream, std::uint8_t streamType);
    // Moves past the current unit to the next one; false when the view has ended.
    bool Next();
    void Close();

    std::unique_ptr<CFileFeeder> feeder;
    std::unique_ptr<NalScanner> scanner;
    const std::uint8_t* nalData = nullptr;
    std::uint64_t nalOffset = 0;
    std::uint32_t nalSize = 0;
    bool ended = true;
};

}  // namespace qivo
