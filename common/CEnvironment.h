#pragma once
// A clip's message sink. The base class accepts and drops everything; CEnvFile keeps it.

#include <cstdint>

namespace qivo {

class CEnvironment {
public:
    // Levels of Log and Flush.
    static constexpr int kInfo = 0;
    static constexpr int kError = 1;

    CEnvironment() = default;
    CEnvironment(const CEnvironment&) = delete;
    CEnvironment& operator=(const CEnvironment&) = delete;
    virtual ~CEnvironment() = default;

    virtual int Open() {
        opened_ = true;
        return 0;
    }
    virtual int Close() {
        opened_ = false;
        return 0;
    }
    // printf-style, UTF-8. reserved is passed as 0 by every caller.
    virtual void Log(int level, int reserved, const char* format, ...)
        __attribute__((format(printf, 4, 5))) {
        (void)level;
        (void)reserved;
        (void)format;
    }
    virtual void Flush(int level, int reserved, const char* format) {
        (void)level;
        (void)reserved;
        (void)format;
    }

    bool IsOpened() const { return opened_; }
    // Components write debug messages only when this is not 0; nothing ever sets it.
    std::uint32_t DebugMask() const { return debugMask_; }

private:
    bool opened_ = false;
    std::uint32_t debugMask_ = 0;
};

}  // namespace qivo
