#pragma once
// Moves a byte stream from an input to an output one chunk at a time, each chunk read and then
// written. Between two regular files the kernel copies each chunk itself, as cat does, which
// spares the trip through the copy buffer; anything else goes through the buffer.

#include <cstddef>
#include <cstdint>

#include "platform/FileHandle.h"
#include "tools/common/CopyBuffer.h"

namespace tools {

class ChunkTransfer {
public:
    ChunkTransfer(const platform::FileHandle& input, const platform::FileHandle& output,
                  const CopyBuffer& buffer);

    // Takes up to size bytes (at most the buffer's) from the input. Returns the count, 0 at the
    // end of the data, or -1 with errno set when the input cannot be read.
    std::int64_t Read(std::size_t size);
    // Delivers the bytes of the last Read to the output; false with errno set on failure.
    bool Write(std::size_t count);

private:
    const platform::FileHandle& input_;
    const platform::FileHandle& output_;
    const CopyBuffer& buffer_;
    bool inKernel_ = false;
    bool delivered_ = false;  // the last chunk went straight to the output
};

}  // namespace tools
