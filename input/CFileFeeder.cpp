#include "input/CFileFeeder.h"

#include <algorithm>
#include <new>

#include "common/FileAccess.h"

namespace qivo {

CFileFeeder::~CFileFeeder() {
    file_.Close();
    buffer_.reset();
    ClearBlock();
}

void CFileFeeder::ClearName() { fileName_.reset(); }

void CFileFeeder::SetFileName(const char* name) {
    ClearName();
    if (name) fileName_ = name;
}

std::uint32_t CFileFeeder::EffectiveBlockSize() const {
    return std::max(static_cast<std::uint32_t>(blockSize_), kMinimumBlockSize);
}

int CFileFeeder::OpenSource() {
    if (!fileName_) return 0;
    bufferSize_ = EffectiveBlockSize();
    buffer_.reset(new (std::nothrow) std::uint8_t[bufferSize_]);
    if (!buffer_) return 0;
    file_ = OpenInputStream(*fileName_);
    if (!file_.Valid()) return 0;
    return Refill();
}

int CFileFeeder::Refill() {
    if (!file_.Valid()) return 0;
    // A read error and the end of the stream look alike: both leave an empty block.
    std::int64_t n = file_.Read(buffer_.get(), bufferSize_);
    PublishBlock(buffer_.get(), n > 0 ? static_cast<std::uint32_t>(n) : 0);
    return 1;
}

int CFileFeeder::CloseSource() {
    file_.Close();
    buffer_.reset();
    bufferSize_ = 0;
    ClearBlock();
    return 1;
}

}  // namespace qivo
