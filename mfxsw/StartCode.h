#pragma once
// Start codes (00 00 01) as H.264, MPEG-2 and VC-1 elementary streams use them.
#include <cstddef>
#include <cstdint>

namespace mfxsw {

inline constexpr size_t kNoStartCode = static_cast<size_t>(-1);

// Offset of the first 00 00 01 at or after `from`, or kNoStartCode.
size_t FindStartCode(const uint8_t* data, size_t size, size_t from);

}  // namespace mfxsw
