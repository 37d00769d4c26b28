#include "tools/common/ChunkTransfer.h"

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace tools {

ChunkTransfer::ChunkTransfer(const platform::FileHandle& input, const platform::FileHandle& output,
                             const CopyBuffer& buffer)
    : input_(input), output_(output), buffer_(buffer) {
    struct stat in{}, out{};
    // Files of /proc and the like claim size 0 and cannot be copied by the kernel; they are read.
    inKernel_ = ::fstat(input_.Fd(), &in) == 0 && ::fstat(output_.Fd(), &out) == 0 &&
                S_ISREG(in.st_mode) && S_ISREG(out.st_mode) && in.st_size > 0;
}

std::int64_t ChunkTransfer::Read(std::size_t size) {
    size = std::min<std::size_t>(size, buffer_.Size());
    delivered_ = false;
    while (inKernel_) {
        ssize_t n = ::copy_file_range(input_.Fd(), nullptr, output_.Fd(), nullptr, size, 0);
        if (n >= 0) {
            delivered_ = true;
            return n;
        }
        if (errno == EINTR) continue;
        // Whatever the reason (file systems that cannot, a full disk, a bad sector), the
        // ordinary read and write take over and name the side that fails.
        inKernel_ = false;
    }
    return input_.Read(buffer_.Data(), size);
}

bool ChunkTransfer::Write(std::size_t count) {
    if (delivered_) return true;
    return output_.WriteAll(buffer_.Data(), count);
}

}  // namespace tools
