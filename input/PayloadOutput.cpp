#include "input/PayloadOutput.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "input/CTSDemuxFeeder.h"

namespace qivo {

bool PayloadOutput::Attach(CTSDemuxFeeder* target, std::int32_t blockSize) {
    target_ = target;
    fill_ = 0;
    std::uint32_t size = std::max(static_cast<std::uint32_t>(blockSize), CFileFeeder::kMinimumBlockSize);
    for (;;) {
        buffer_.reset(new (std::nothrow) std::uint8_t[size]);
        if (buffer_ || size / 2 <= 1024) break;
        size /= 2;
    }
    size_ = buffer_ ? static_cast<std::int32_t>(size) : 0;
    return buffer_ != nullptr;
}

bool PayloadOutput::Write(const std::uint8_t* bytes, std::uint32_t count) {
    if (!target_ || !buffer_) return false;
    while (count > 0) {
        if (fill_ == size_) {
            target_->PutPayload(buffer_.get(), static_cast<std::uint32_t>(fill_));
            fill_ = 0;
        }
        std::uint32_t n = std::min(count, static_cast<std::uint32_t>(size_ - fill_));
        std::memcpy(buffer_.get() + fill_, bytes, n);
        fill_ += static_cast<std::int32_t>(n);
        bytes += n;
        count -= n;
    }
    return true;
}

void PayloadOutput::Flush() {
    if (target_ && buffer_ && fill_ > 0) target_->PutPayload(buffer_.get(), static_cast<std::uint32_t>(fill_));
    target_ = nullptr;
    buffer_.reset();
    size_ = 0;
    fill_ = 0;
}

}  // namespace qivo
