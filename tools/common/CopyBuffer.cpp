#include "tools/common/CopyBuffer.h"

#include <new>

namespace tools {

bool CopyBuffer::Allocate(std::uint32_t size) {
    try {
        // Left uninitialised: every byte is written by a read before it is used.
        data_ = std::make_unique_for_overwrite<unsigned char[]>(size);
    } catch (const std::bad_alloc&) {
        data_.reset();
        size_ = 0;
        return false;
    }
    size_ = size;
    return true;
}

}  // namespace tools
