#pragma once
// Reads a transport stream file in large blocks and serves it a packet at a time.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileHandle.h"

namespace qivo {

class TsFileReader {
public:
    // Opens the file (a pipe name waits for its server) and allocates a buffer of the block
    // size, at least 4,096 bytes, halved while it cannot be had and stays above 1,024 bytes.
    bool Open(const std::string& path, std::int32_t blockSize);
    // Copies up to count bytes; fewer only at the end of the file or on a read error.
    std::uint32_t Read(std::uint8_t* destination, std::uint32_t count);
    void Close();

private:
    platform::FileHandle file_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::int32_t bufferSize_ = 0;
    std::uint32_t fill_ = 0;
    std::uint32_t position_ = 0;
};

}  // namespace qivo
