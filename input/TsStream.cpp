#include "input/TsStream.h"

#include <algorithm>
#include <cstring>

namespace qivo {

namespace {
constexpr std::uint32_t kPesFixedHeader = 9;
}

int TsStream::TakeSection(const std::uint8_t* data, std::uint32_t size, bool unitStart,
                          const std::uint8_t** section, std::uint32_t* length) {
    *section = nullptr;
    *length = 0;
    if (unitStart) {
        // The pointer field is taken to be 0: sections are expected to start right after it.
        if (size <= 1) return -4;
        data += 1;
        size -= 1;
        if (data[0] != 0x00 && data[0] != 0x02) return 0;
        if (size < 3) return -5;
        if ((data[1] & 0x30) != 0x30) return -6;
        std::uint32_t sectionLength = (static_cast<std::uint32_t>(data[1] & 0x0F) << 8) | data[2];
        data += 3;
        size -= 3;
        if (sectionLength > size) {
            if (sectionLength > kSectionCapacity) return -7;
            std::memcpy(buffer_.data(), data, size);
            collected_ = static_cast<std::uint16_t>(size);
            expected_ = static_cast<std::uint16_t>(sectionLength);
            return 0;
        }
        *section = data;
        *length = sectionLength;
        return 0;
    }
    if (collected_ == 0) return -8;
    // The whole rest of the packet is kept, stuffing included, so a section that needs a third
    // packet no longer fits.
    if (collected_ + size > kSectionCapacity) return -9;
    std::memcpy(buffer_.data() + collected_, data, size);
    collected_ = static_cast<std::uint16_t>(collected_ + size);
    if (collected_ < expected_) return 0;
    *section = buffer_.data();
    *length = expected_;
    return 0;
}

int TsStream::TakePes(const std::uint8_t* data, std::uint32_t size, bool unitStart) {
    if (unitStart) {
        collected_ = 0;
        expected_ = kPesFixedHeader;
    }
    if (expected_ > 0) {
        while (collected_ < expected_) {
            std::uint32_t n = std::min<std::uint32_t>(expected_ - collected_, size);
            if (n == 0) return 0;  // the header continues in the next packet
            std::memcpy(buffer_.data() + collected_, data, n);
            collected_ = static_cast<std::uint16_t>(collected_ + n);
            data += n;
            size -= n;
            if (collected_ == kPesFixedHeader && expected_ == kPesFixedHeader)
                expected_ = static_cast<std::uint16_t>(kPesFixedHeader + buffer_[8]);
        }
        if (buffer_[0] != 0x00 || buffer_[1] != 0x00 || buffer_[2] != 0x01) return -19;
        ++pesCount;
        collected_ = 0;
        expected_ = 0;
    }
    // Payload before the first PES header has no start to belong to and is dropped.
    if (pesCount != 0 && size > 0 && output.Attached() && !output.Write(data, size)) return -1;
    return 0;
}

}  // namespace qivo
