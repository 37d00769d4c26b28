// The transport stream path: a damaged file read to its end through the demultiplexing feeder.
// The first byte chooses the stream type (H.264 or MPEG-2); the rest is the file.
#include <vector>

#include "FuzzFile.h"
#include "input/CTSDemuxFeeder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    std::uint8_t type = (data[0] & 1) ? 27 : 2;
    qivo_fuzz::FuzzFile file(data + 1, size - 1);
    if (file.path().empty()) return 0;
    qivo::CTSDemuxFeeder feeder;
    feeder.SetTsStream(file.path(), type);
    if (!feeder.Start()) return 0;
    std::vector<std::uint8_t> buffer(4096 + (data[0] >> 1) * 37);
    std::uint32_t got = 0;
    while (feeder.Read(buffer.data(), static_cast<std::uint32_t>(buffer.size()), &got)) {
    }
    feeder.Stop();
    return 0;
}
