#pragma once
// Feeds the bare elementary stream of one stream type out of an MPEG-2 transport stream with
// 188-byte packets or 192-byte (M2TS) packets, and counts that stream's PES packets.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "input/CFileFeeder.h"
#include "input/TsDemuxer.h"
#include "input/TsFileReader.h"

namespace qivo {

class CTSDemuxFeeder : public CFileFeeder {
public:
    CTSDemuxFeeder() = default;
    ~CTSDemuxFeeder() override;

    int OpenSource() override;
    int Refill() override;
    int CloseSource() override;

    virtual void SetTsStream(const char* name, std::uint8_t streamType);
    void SetTsStream(const std::string& name, std::uint8_t streamType) { SetTsStream(name.c_str(), streamType); }
    // Makes the block a copy of the bytes (zeros when null). Called by the feeder's own output.
    virtual void PutPayload(const std::uint8_t* bytes, std::uint32_t count);

    // PES packets of the selected stream: the clip's frame count. Set by Stop after a Start.
    std::int64_t countedFrames = 0;

private:
    std::uint8_t wantedType_ = 0;
    std::vector<std::uint8_t> payloadBlock_;
    std::unique_ptr<TsDemuxer> demuxer_;
    TsFileReader fileReader_;
    std::array<std::uint8_t, 192> packet_{};
    std::uint32_t packetSize_ = 0;
    bool published_ = false;
};

}  // namespace qivo
