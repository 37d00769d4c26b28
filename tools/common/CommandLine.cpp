#include "tools/common/CommandLine.h"

#include <cctype>
#include <cstring>
#include <strings.h>

namespace tools {

const char* CommandLine::OptionWord(int index) const {
    const char* arg = argv_[index];
    if (arg[0] == '-') return arg + 1;
    if (arg[0] == '/' && !std::strchr(arg + 1, '/')) return arg + 1;
    return nullptr;
}

const char* CommandLine::ValueAfter(int index) const {
    if (index + 1 >= argc_ || argv_[index + 1][0] == '-') return nullptr;
    return argv_[index + 1];
}

bool BeginsWithNoCase(const char* word, const char* prefix, unsigned length) {
    return ::strncasecmp(word, prefix, length) == 0;
}

std::uint32_t ParseBufferSize(const char* text) {
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (std::isspace(*p)) ++p;
    bool negative = false;
    if (*p == '+' || *p == '-') negative = *p++ == '-';
    std::uint64_t value = 0;
    bool overflow = false;
    for (; *p >= '0' && *p <= '9'; ++p) {
        value = value * 10 + (*p - '0');
        if (value > 0xFFFFFFFFu) {
            overflow = true;
            value = 0xFFFFFFFFu;
        }
    }
    if (overflow) return 0xFFFFFFFFu;
    return negative ? static_cast<std::uint32_t>(0 - value) : static_cast<std::uint32_t>(value);
}

}  // namespace tools
