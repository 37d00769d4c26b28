#include "source/CountRawFrames.h"

#include <unistd.h>

#include <limits>

namespace qivo {

std::int32_t CountRawFrames(int fd, std::int32_t width, std::int32_t height) {
    // In 64 bits: a large picture must not wrap its own size.
    const std::int64_t frameSize = static_cast<std::int64_t>(width) * height * 3 / 2;
    if (frameSize <= 0) return -1;
    const off_t size = ::lseek(fd, 0, SEEK_END);
    if (size < 0) return -1;
    const std::int64_t frames = static_cast<std::int64_t>(size) / frameSize;
    if (frames > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(frames);
}

}  // namespace qivo
