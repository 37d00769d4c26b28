#pragma once
// Frame count of an uncompressed planar 4:2:0 file: frames back to back, no header.

#include <cstdint>

namespace qivo {

// Whole frames of width x height in the open file fd, whose position is left at its end.
// -1 when the size cannot be learned or the frame size is not positive; a count beyond the
// 32-bit range is held at its largest value.
std::int32_t CountRawFrames(int fd, std::int32_t width, std::int32_t height);

}  // namespace qivo
