#pragma once
// Shared pieces of the bitstream input tests: the ffmpeg-made media, temporary files, reading
// whole streams, and a builder for hand-made transport stream packets.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace qivo::test {

using Bytes = std::vector<std::uint8_t>;

// Folder of the ffmpeg-made media; makes them on first use (any number of test processes may
// ask at once).
const std::string& MediaDir();
std::string MediaPath(const std::string& name);

Bytes ReadFile(const std::string& path);
void WriteFile(const std::string& path, const Bytes& bytes);
// A fresh path in a per-process temporary folder.
std::string TempPath(const std::string& name);

// Every byte a feeder publishes after a successful Start, read in pieces of the given size.
template <class Feeder>
Bytes Drain(Feeder& feeder, std::uint32_t piece = 1 << 20) {
    Bytes all;
    Bytes buffer(piece);
    std::uint32_t got = 0;
    while (feeder.Read(buffer.data(), piece, &got)) all.insert(all.end(), buffer.begin(), buffer.begin() + got);
    return all;
}

// Builds 188-byte transport stream packets.
class TsPacketBuilder {
public:
    static constexpr std::size_t kPacket = 188;

    static Bytes PatSection(const std::vector<std::pair<std::uint16_t, std::uint16_t>>& programs);
    // streams: (stream type, elementary PID). programInfo bytes of descriptors make it longer.
    static Bytes PmtSection(std::uint16_t program, const std::vector<std::pair<std::uint8_t, std::uint16_t>>& streams,
                            std::size_t programInfo = 0);
    // A video PES header with a PTS; extraHeader stuffing bytes lengthen it.
    static Bytes PesHeader(std::size_t extraHeader = 0);

    // A table section over as many packets as it needs, padded with 0xFF.
    void Table(std::uint16_t pid, const Bytes& section);
    // A PES packet (header then payload) over as many packets as it needs; the last packet is
    // completed with adaptation field stuffing. firstAdaptation > 0 puts an adaptation field of
    // that length into the first packet.
    void Pes(std::uint16_t pid, const Bytes& payload, std::size_t firstAdaptation = 0, std::size_t extraHeader = 0);
    // One packet: header, optional adaptation field of the given length (-1: none), then data
    // padded with 0xFF.
    void Packet(std::uint16_t pid, bool unitStart, const Bytes& data, int adaptation = -1);

    Bytes bytes;

private:
    std::uint8_t NextCounter(std::uint16_t pid);
    std::vector<std::pair<std::uint16_t, std::uint8_t>> counters_;
};

// Adds a 4-byte prefix before every 188-byte packet.
Bytes ToM2ts(const Bytes& ts);

}  // namespace qivo::test
