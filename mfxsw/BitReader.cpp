#include "BitReader.h"

namespace mfxsw {

BitReader::BitReader(const uint8_t* data, size_t size, bool unescape) {
    bytes_.reserve(size);
    int zeros = 0;
    for (size_t i = 0; i < size; ++i) {
        uint8_t b = data[i];
        if (unescape && zeros >= 2 && b == 3) {
            zeros = 0;
            continue;
        }
        zeros = b == 0 ? zeros + 1 : 0;
        bytes_.push_back(b);
    }
}

uint32_t BitReader::U(unsigned bits) {
    uint32_t value = 0;
    for (unsigned i = 0; i < bits; ++i) {
        size_t byte = bitPos_ >> 3;
        uint32_t bit = 0;
        if (byte < bytes_.size()) {
            bit = (bytes_[byte] >> (7 - (bitPos_ & 7))) & 1u;
        } else {
            overrun_ = true;
        }
        value = (value << 1) | bit;
        ++bitPos_;
    }
    return value;
}

uint32_t BitReader::Ue() {
    unsigned leadingZeros = 0;
    while (U(1) == 0) {
        // 32 zeros cannot start a valid code; stop instead of spinning over the end.
        if (++leadingZeros > 31 || overrun_) {
            overrun_ = true;
            return 0;
        }
    }
    if (leadingZeros == 0) return 0;
    return ((1u << leadingZeros) - 1) + U(leadingZeros);
}

int32_t BitReader::Se() {
    uint32_t k = Ue();
    int32_t magnitude = static_cast<int32_t>((k + 1) / 2);
    return (k & 1) ? magnitude : -magnitude;
}

void BitReader::Skip(unsigned bits) {
    bitPos_ += bits;
    if ((bitPos_ + 7) / 8 > bytes_.size()) overrun_ = true;
}

}  // namespace mfxsw
