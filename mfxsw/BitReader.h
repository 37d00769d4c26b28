#pragma once
// Reads the syntax elements of sequence headers: fixed-width fields and Exp-Golomb codes.
// Reading past the end yields zeros and marks the reader as overrun, so a truncated header is
// recognised once, at the end of parsing, instead of at every field.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace mfxsw {

class BitReader {
public:
    // `unescape` removes the 00 00 03 emulation-prevention bytes (H.264 and VC-1 payloads).
    BitReader(const uint8_t* data, size_t size, bool unescape);

    uint32_t U(unsigned bits);
    bool Flag() { return U(1) != 0; }
    uint32_t Ue();
    int32_t Se();
    void Skip(unsigned bits);
    bool Overrun() const { return overrun_; }

private:
    std::vector<uint8_t> bytes_;
    size_t bitPos_ = 0;
    bool overrun_ = false;
};

}  // namespace mfxsw
