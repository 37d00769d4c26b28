#pragma once
// Follows the program tables of a transport stream, selects the first elementary stream of the
// wanted type, counts its PES headers and passes its payload to the feeder.

#include <cstdint>
#include <map>

#include "input/TsStream.h"

namespace qivo {

class CTSDemuxFeeder;

class TsDemuxer {
public:
    static constexpr std::uint32_t kPacketSize = 188;

    TsDemuxer(CTSDemuxFeeder* target, std::int32_t blockSize, std::uint8_t wantedType);

    // Packets carry a 4-byte prefix before the sync byte (M2TS).
    void SetMode192(bool on) { mode192_ = on; }
    // Parses one packet (192 bytes in 192-byte mode, else 188). 0 = fine; any other value is a
    // parse error that ends the stream.
    int ParsePacket(const std::uint8_t* packet);
    // End of file: hands every gathered payload to the target and detaches the outputs.
    void Flush();
    // PES headers seen on the selected stream; 0 when no stream was selected.
    std::int64_t CountedFrames() const;

private:
    TsStream& StreamFor(std::uint16_t pid);
    int ParsePat(const std::uint8_t* data, std::uint32_t length);
    int ParsePmt(const std::uint8_t* data, std::uint32_t length);

    std::map<std::uint16_t, TsStream> streams_;
    bool mode192_ = false;
    std::int32_t blockSize_;
    std::uint8_t wantedType_;
    CTSDemuxFeeder* target_;
    bool attached_ = false;
    std::uint16_t attachedPid_ = 0;
    // Packets of one PID come in runs; remembering the last lookup skips most map searches.
    std::uint16_t lastPid_ = 0xFFFF;
    TsStream* lastStream_ = nullptr;
};

}  // namespace qivo
