#include "tools/common/DebugLog.h"

#include <cstdarg>
#include <cstdio>

namespace tools {

void DebugLog::Info(const char* format, ...) const {
    if (!enabled_) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stdout, format, args);
    va_end(args);
    std::fflush(stdout);
}

void DebugLog::Error(const char* format, ...) const {
    if (!enabled_) return;
    va_list args;
    va_start(args, format);
    std::vfprintf(stderr, format, args);
    va_end(args);
    std::fflush(stderr);
}

}  // namespace tools
