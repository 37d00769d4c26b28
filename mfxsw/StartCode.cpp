#include "StartCode.h"

#include <cstring>

namespace mfxsw {

size_t FindStartCode(const uint8_t* data, size_t size, size_t from) {
    size_t i = from;
    while (size >= 3 && i + 3 <= size) {
        // The 01 is the rare byte; memchr finds it fast, then the two zeros before it decide.
        const void* hit = std::memchr(data + i + 2, 1, size - i - 2);
        if (!hit) return kNoStartCode;
        size_t one = static_cast<const uint8_t*>(hit) - data;
        if (data[one - 1] == 0 && data[one - 2] == 0) return one - 2;
        i = one - 1;
    }
    return kNoStartCode;
}

}  // namespace mfxsw
