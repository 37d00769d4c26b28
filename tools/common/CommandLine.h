#pragma once
// Command-line conventions shared by the copy tools.

#include <cstdint>

namespace tools {

class CommandLine {
public:
    CommandLine(int argc, char** argv) : argc_(argc), argv_(argv) {}

    int Count() const { return argc_; }
    const char* operator[](int index) const { return argv_[index]; }

    // The option word after a leading "-" or "/", or null when the argument is not an option.
    // A "/" that is followed by another "/" starts an absolute path, not an option, so that
    // Linux paths can be named.
    const char* OptionWord(int index) const;

    // The argument after index when there is one and it does not begin with "-"; null
    // otherwise. An option that takes a value then consumes it.
    const char* ValueAfter(int index) const;

private:
    int argc_;
    char** argv_;
};

// True when word begins with the first length characters of prefix, letter case ignored.
bool BeginsWithNoCase(const char* word, const char* prefix, unsigned length);

// A buffer size read as an unsigned 32-bit decimal number the way wcstoul does it (leading
// blanks, a sign, overflow to the maximum); 0 means the default size.
std::uint32_t ParseBufferSize(const char* text);

}  // namespace tools
