#include "tools/bytexfer/ParseNumber64.h"

namespace tools {
namespace {

int DigitValue(unsigned char c, unsigned base) {
    if (c >= '0' && c <= '9') return c - '0';
    if (base == 16 && c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (base == 16 && c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::uint64_t ParseNumber64(const char* text) {
    if (!text) return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(text);
    while (*p >= 1 && *p <= 32) ++p;
    unsigned base = 10;
    if (*p == 'x' || *p == 'X') {
        base = 16;
        ++p;
    }
    std::uint64_t value = 0;
    for (int digit; (digit = DigitValue(*p, base)) >= 0; ++p) value = value * base + digit;
    return value;
}

}  // namespace tools
