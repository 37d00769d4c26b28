#pragma once
// Writes a clip's messages to its log file and collects the error messages, so that a failed
// open can hand its reasons back to the caller.

#include <cstdio>
#include <string>

#include "common/CEnvironment.h"

namespace qivo {

class CEnvFile : public CEnvironment {
public:
    void Log(int level, int reserved, const char* format, ...) override
        __attribute__((format(printf, 4, 5)));
    void Flush(int level, int reserved, const char* format) override;

    // The file belongs to the importer; this object only writes to it.
    void SetLogFile(std::FILE* file) { logFile_ = file; }
    std::string ErrorText() const { return errorText_; }

private:
    std::FILE* logFile_ = nullptr;
    std::string errorText_;
};

}  // namespace qivo
