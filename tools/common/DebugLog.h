#pragma once
// The tools' transfer messages: shown only with -debug, progress ("- ...") on standard output
// and trouble ("***  ...") on standard error, each flushed at once so that the two streams
// interleave as they happen.

namespace tools {

class DebugLog {
public:
    explicit DebugLog(bool enabled) : enabled_(enabled) {}

    void Info(const char* format, ...) const __attribute__((format(printf, 2, 3)));
    void Error(const char* format, ...) const __attribute__((format(printf, 2, 3)));

private:
    bool enabled_;
};

}  // namespace tools
