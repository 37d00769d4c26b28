#pragma once
// The one copy buffer of a run, allocated once and reused for every read and write.

#include <cstddef>
#include <cstdint>
#include <memory>

namespace tools {

class CopyBuffer {
public:
    // False when the memory cannot be had; the caller reports it.
    bool Allocate(std::uint32_t size);

    unsigned char* Data() const { return data_.get(); }
    std::uint32_t Size() const { return size_; }

private:
    std::unique_ptr<unsigned char[]> data_;
    std::uint32_t size_ = 0;
};

}  // namespace tools
