#include "input/CDataFeeder.h"

#include <algorithm>
#include <cstring>

namespace qivo {

CDataFeeder::~CDataFeeder() { ClearBlock(); }

int CDataFeeder::Start() { return OpenSource(); }

int CDataFeeder::Stop() {
    int result = CloseSource();
    ClearBlock();
    return result;
}

int CDataFeeder::Read(void* destination, std::uint32_t size, std::uint32_t* delivered) {
    if (delivered) *delivered = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        if (size == 0 || blockLength_ == 0) return 0;
    }
    auto* out = static_cast<std::uint8_t*>(destination);
    while (size > 0) {
        bool more;
        {
            std::lock_guard<std::mutex> guard(lock_);
            if (readPosition_ < blockLength_) {
                std::uint32_t n = std::min(size, blockLength_ - readPosition_);
                if (out) {
                    std::memcpy(out, block_ + readPosition_, n);
                    out += n;
                }
                readPosition_ += n;
                if (delivered) *delivered += n;
                size -= n;
            }
            more = size > 0 && blockLength_ != 0;
        }
        // A source that cannot load another block has already emptied it or would leave this
        // loop spinning on a spent block; either way the stream has ended here.
        if (!more || !Refill()) break;
    }
    return 1;
}

void CDataFeeder::PublishBlock(const std::uint8_t* block, std::uint32_t length) {
    std::lock_guard<std::mutex> guard(lock_);
    PublishBlockLocked(block, length);
}

void CDataFeeder::PublishBlockLocked(const std::uint8_t* block, std::uint32_t length) {
    block_ = length ? block : nullptr;
    blockLength_ = block_ ? length : 0;
    readPosition_ = 0;
}

}  // namespace qivo
