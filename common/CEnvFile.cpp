#include "common/CEnvFile.h"

#include <cstdarg>
#include <vector>

namespace qivo {
namespace {

std::string FormatV(const char* format, va_list args) {
    va_list probe;
    va_copy(probe, args);
    const int length = std::vsnprintf(nullptr, 0, format, probe);
    va_end(probe);
    if (length <= 0) return {};
    std::vector<char> text(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(text.data(), text.size(), format, args);
    return std::string(text.data(), static_cast<std::size_t>(length));
}

}  // namespace

void CEnvFile::Log(int level, int, const char* format, ...) {
    if (!IsOpened()) CEnvironment::Open();
    if ((level != kInfo && level != kError) || !format) return;

    va_list args;
    va_start(args, format);
    const std::string message = FormatV(format, args);
    va_end(args);

    if (level == kInfo) {
        if (logFile_) std::fputs(message.c_str(), logFile_);
        return;
    }
    if (logFile_) {
        std::fputs("\nERROR: ", logFile_);
        std::fputs(message.c_str(), logFile_);
        std::fputs("\n", logFile_);
    }
    errorText_ += "ERROR: ";
    errorText_ += message;
    errorText_ += "\n";
}

void CEnvFile::Flush(int level, int, const char*) {
    if (!IsOpened()) CEnvironment::Open();
    if ((level == kInfo || level == kError) && logFile_) std::fflush(logFile_);
}

}  // namespace qivo
