// bytexfer: copies a byte range of several files joined in order into one file.

#include <cstdio>
#include <string>
#include <strings.h>
#include <vector>

#include "tools/bytexfer/CopyJoinedRange.h"
#include "tools/bytexfer/ParseNumber64.h"
#include "tools/common/CommandLine.h"
#include "tools/common/ConsoleFile.h"
#include "tools/common/FileErrorText.h"

namespace {

void PrintUsage(std::FILE* stream) {
    std::fprintf(stream, "bytexfer version 3.0 (build: %s) - binary file copier\n\n", __DATE__);
    std::fprintf(stream,
                 "Usage:  bytexfer  src_file [+ src_file ...] dst_file [-start pos] [-length len]\n"
                 "                 [-buffer bufsize] [-debug]\n"
                 "\n"
                 "        where -start  0  copy from beginning of all joined source files\n"
                 "              -length 0  copy until end of joined source files\n"
                 "\n"
                 "               pos,len   are 64-bit decimal or hexadecimal numbers\n"
                 "                         in format 1448, x5A8, x5a8, ...\n"
                 "\n"
                 "              -buffer    define size of copy/pipe buffer (default %u B)\n"
                 "              -debug     display data transfer info and errors\n"
                 "\n",
                 0x100000u);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintUsage(stderr);
        return 1;
    }

    const tools::CommandLine args(argc, argv);
    // "+" moves on to the next slot; a name fills an empty slot, else becomes the destination.
    // The sources run up to the first slot left empty ("a + + b" copies a only).
    std::vector<const char*> slots(static_cast<std::size_t>(argc) + 1, nullptr);
    std::size_t current = 0;
    const char* destination = nullptr;
    std::uint64_t start = 0;
    std::uint64_t length = 0;
    std::uint32_t bufferSize = 0;
    bool debug = false;

    for (int i = 1; i < args.Count(); ++i) {
        if (const char* word = args.OptionWord(i)) {
            if (word[0] == 'h' || tools::BeginsWithNoCase(word, "help", 4)) {
                PrintUsage(stdout);
                return 0;
            }
            std::uint64_t* number = nullptr;
            if (tools::BeginsWithNoCase(word, "start", 5)) {
                number = &start;
            } else if (tools::BeginsWithNoCase(word, "len", 3)) {
                number = &length;
            } else if (tools::BeginsWithNoCase(word, "buffer", 6)) {
                if (const char* value = args.ValueAfter(i)) {
                    bufferSize = tools::ParseBufferSize(value);
                    ++i;
                }
            } else if (tools::BeginsWithNoCase(word, "debug", 5)) {
                debug = true;
            }
            if (number) {
                if (const char* value = args.ValueAfter(i)) {
                    *number = tools::ParseNumber64(value);
                    ++i;
                }
            }
        } else if (args[i][0] == '+') {
            if (current + 1 < slots.size()) ++current;
        } else if (!slots[current]) {
            slots[current] = args[i];
        } else if (!destination) {
            destination = args[i];
        }
    }

    if (!slots[0] || !destination) {
        PrintUsage(stderr);
        return 1;
    }
    std::vector<std::string> sources;
    for (std::size_t i = 0; i < slots.size() && slots[i]; ++i) sources.emplace_back(slots[i]);

    // Creating the destination truncates it, so a source that is the destination under any
    // name (letter case, a link, another path to it) would be lost before it is read.
    for (const std::string& source : sources) {
        if (::strcasecmp(source.c_str(), destination) == 0 ||
            tools::IsSameFile(source, destination)) {
            std::fprintf(stderr, "input  %s\n", source.c_str());
            std::fprintf(stderr, "output %s\n", destination);
            std::fprintf(stderr, "***  %s\n", "Cannot copy file to itself!");
            return 1;
        }
    }

    int failedIndex = -1;
    const unsigned result =
        tools::CopyJoinedRange(sources, destination, start, length, bufferSize, debug, failedIndex);
    if (result == 0) return 0;
    const char* text = tools::FileErrorText(result);
    if (failedIndex >= 0)
        std::fprintf(stderr, "input  %s\n", sources[static_cast<std::size_t>(failedIndex)].c_str());
    else
        std::fprintf(stderr, "output %s\n", destination);
    std::fprintf(stderr, "***  %s\n", text ? text : "Unexpected error!");
    return 1;
}
