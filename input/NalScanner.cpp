#include "input/NalScanner.h"

#include <cstring>

#include "input/CDataFeeder.h"

namespace qivo {

namespace {
// Closes the last unit of a stream. The zeros after its start code keep the marker itself from
// being taken for a unit.
constexpr std::uint8_t kEndMarker[8] = {0, 0, 0, 1, 0, 0, 0, 0};
}  // namespace

NalScanner::NalScanner(CDataFeeder* feeder)
    : buffer_(static_cast<std::uint8_t*>(std::malloc(kGrowStep))), feeder_(feeder) {
    if (buffer_) capacity_ = kGrowStep;
}

void NalScanner::Reset() {
    position_ = 0;
    fill_ = 0;
    streamOffset_ = 0;
    atEnd_ = false;
}

bool NalScanner::Grow(std::uint32_t bytes) {
    if (capacity_ > UINT32_MAX - bytes) return false;
    auto* grown = static_cast<std::uint8_t*>(std::realloc(buffer_.get(), capacity_ + bytes));
    if (!grown) return false;
    buffer_.release();
    buffer_.reset(grown);
    capacity_ += bytes;
    return true;
}

bool NalScanner::FillBuffer(bool grow) {
    if (atEnd_) return true;
    std::uint8_t* buffer = buffer_.get();
    if (position_ != 0) {
        streamOffset_ += position_;
        std::memmove(buffer, buffer + position_, fill_ - position_);
        fill_ -= position_;
        position_ = 0;
    }
    // A full buffer would ask the feeder for nothing and so mistake itself for the end.
    if ((grow || fill_ == capacity_) && !Grow(kGrowStep)) return false;
    std::uint32_t received = 0;
    feeder_->Read(buffer_.get() + fill_, capacity_ - fill_, &received);
    if (received == 0) {
        // The marker needs room of its own after the data.
        if (capacity_ - fill_ < sizeof kEndMarker && !Grow(kGrowStep)) return false;
        std::memcpy(buffer_.get() + fill_, kEndMarker, sizeof kEndMarker);
        received = sizeof kEndMarker;
        atEnd_ = true;
    }
    fill_ += received;
    return true;
}

std::uint32_t NalScanner::NalLength() const {
    const std::uint8_t* b = buffer_.get();
    std::uint32_t start = position_;
    std::uint32_t avail = fill_ - position_;
    if (avail >= 4 && b[start] == 0 && b[start + 1] == 0 && b[start + 2] == 0 && b[start + 3] == 1)
        start += 4;
    else if (avail >= 3 && b[start] == 0 && b[start + 1] == 0 && b[start + 2] == 1)
        start += 3;
    // A start code counts only when at least three bytes follow its final 01.
    if (fill_ < 4) return 0;
    std::uint32_t last = fill_ - 4;  // highest index the 01 may have
    std::uint32_t k = start + 2;     // lowest: two zeros of this unit must precede it
    while (k <= last) {
        const void* hit = std::memchr(b + k, 1, last - k + 1);
        if (!hit) return 0;
        k = static_cast<std::uint32_t>(static_cast<const std::uint8_t*>(hit) - b);
        if (b[k - 1] == 0 && b[k - 2] == 0) {
            std::uint32_t end = (k >= start + 3 && b[k - 3] == 0) ? k - 3 : k - 2;
            return end - position_;
        }
        ++k;
    }
    return 0;
}

int NalScanner::NextNal(std::uint64_t* offset, const std::uint8_t** data, std::uint32_t* size) {
    for (;;) {
        for (std::uint32_t n = NalLength(); n != 0; n = NalLength()) {
            if (n > 3) {
                *offset = streamOffset_ + position_;
                *data = buffer_.get() + position_;
                *size = n;
                return 0;
            }
            position_ += n;
        }
        if (atEnd_) return 1;
        // A unit that fills the whole buffer needs a larger one.
        if (!FillBuffer(position_ == 0)) return -1;
    }
}

}  // namespace qivo
