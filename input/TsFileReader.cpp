#include "input/TsFileReader.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "common/FileAccess.h"
#include "input/CFileFeeder.h"

namespace qivo {

bool TsFileReader::Open(const std::string& path, std::int32_t blockSize) {
    Close();
    file_ = OpenInputStream(path);
    if (!file_.Valid()) return false;
    std::uint32_t size = std::max(static_cast<std::uint32_t>(blockSize), CFileFeeder::kMinimumBlockSize);
    for (;;) {
        buffer_.reset(new (std::nothrow) std::uint8_t[size]);
        if (buffer_ || size / 2 <= 1024) break;
        size /= 2;
    }
    if (!buffer_) return false;
    bufferSize_ = static_cast<std::int32_t>(size);
    return true;
}

std::uint32_t TsFileReader::Read(std::uint8_t* destination, std::uint32_t count) {
    std::uint32_t done = 0;
    while (done < count) {
        if (position_ == fill_) {
            if (!file_.Valid() || !buffer_) break;
            std::int64_t n = file_.Read(buffer_.get(), static_cast<std::size_t>(bufferSize_));
            position_ = 0;
            fill_ = n > 0 ? static_cast<std::uint32_t>(n) : 0;
            if (fill_ == 0) break;
        }
        std::uint32_t n = std::min(count - done, fill_ - position_);
        std::memcpy(destination + done, buffer_.get() + position_, n);
        position_ += n;
        done += n;
    }
    return done;
}

void TsFileReader::Close() {
    file_.Close();
    buffer_.reset();
    bufferSize_ = 0;
    fill_ = 0;
    position_ = 0;
}

}  // namespace qivo
