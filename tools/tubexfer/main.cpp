// tubexfer: copies one byte stream between files, pipe clients and pipe servers.

#include <cstdio>
#include <string>

#include "tools/common/CommandLine.h"
#include "tools/common/ConsoleFile.h"
#include "tools/common/FileErrorText.h"
#include "tools/tubexfer/CopyStream.h"

namespace {

enum class EndpointMode { File = 0, PipeClient = 1, PipeServer = 2 };

const char* ModeText(EndpointMode mode) {
    switch (mode) {
        case EndpointMode::PipeClient: return "(pipe-client)";
        case EndpointMode::PipeServer: return "(pipe-server)";
        default: return "(file)";
    }
}

struct Endpoint {
    std::string name;
    EndpointMode mode = EndpointMode::File;
    bool given = false;
};

void PrintUsage(std::FILE* stream) {
    std::fprintf(stream,
                 "Usage:  tubexfer  [-f|c|s] input_name  [-f|c|s] output_name\n"
                 "                  [-buffer bufsize] [-debug]\n"
                 "\n"
                 "        where -f      open file (default)\n"
                 "              -c      open named pipe-client\n"
                 "              -s      create named pipe-server\n"
                 "              -buffer define size of copy/pipe buffer (default %u B)\n"
                 "              -debug  display data transfer info and errors\n"
                 "\n"
                 "              without option -c|s are pipes created as named pipe-server\n"
                 "              pipe_name must be in standard Windows format \"\\\\.\\pipe\\name\"\n"
                 "\n",
                 0x100000u);
}

// A plain pipe name serves; "-c" or "-f" before it makes a client; a file stays a file.
EndpointMode Settle(const Endpoint& end) {
    if (!tools::IsPipeName(end.name)) return EndpointMode::File;
    return end.mode == EndpointMode::File ? EndpointMode::PipeClient : end.mode;
}

}  // namespace

int main(int argc, char** argv) {
    std::printf("tubexfer version 1.2 (build: %s) - named-pipe file copier\n\n", __DATE__);
    if (argc < 2) {
        std::fflush(stdout);
        PrintUsage(stderr);
        return 1;
    }

    const tools::CommandLine args(argc, argv);
    Endpoint ends[2];
    int named = 0;
    std::uint32_t bufferSize = 0;
    bool debug = false;
    auto addName = [&](const char* name, EndpointMode mode) {
        if (named < 2) ends[named++] = Endpoint{name, mode, true};
    };

    for (int i = 1; i < args.Count(); ++i) {
        const char* word = args.OptionWord(i);
        if (!word) {
            addName(args[i], tools::IsPipeName(args[i]) ? EndpointMode::PipeServer
                                                        : EndpointMode::File);
            continue;
        }
        if (word[0] == 'h' || tools::BeginsWithNoCase(word, "help", 4)) {
            PrintUsage(stdout);
            return 0;
        }
        EndpointMode mode;
        if (tools::BeginsWithNoCase(word, "buffer", 6)) {
            if (const char* value = args.ValueAfter(i)) {
                bufferSize = tools::ParseBufferSize(value);
                ++i;
            }
            continue;
        } else if (tools::BeginsWithNoCase(word, "debug", 5)) {
            debug = true;
            continue;
        } else if (word[0] == 'f') {
            mode = EndpointMode::File;
        } else if (word[0] == 's') {
            mode = EndpointMode::PipeServer;
        } else if (word[0] == 'c') {
            mode = EndpointMode::PipeClient;
        } else {
            continue;
        }
        if (const char* value = args.ValueAfter(i)) {
            addName(value, mode);
            ++i;
        }
    }

    if (!ends[0].given) {
        std::printf("***  Input file/pipe is missing!\n");
        return 1;
    }
    if (!ends[1].given) {
        std::printf("***  Output file/pipe is missing!\n");
        return 1;
    }
    Endpoint& input = ends[0];
    Endpoint& output = ends[1];
    input.mode = Settle(input);
    output.mode = Settle(output);
    std::printf("input  %13s: %s\n", ModeText(input.mode), input.name.c_str());
    std::printf("output %13s: %s\n", ModeText(output.mode), output.name.c_str());
    // The copy may wait a long time for a pipe peer; show what it waits for first.
    std::fflush(stdout);

    if (input.mode == EndpointMode::File && output.mode == EndpointMode::File &&
        tools::IsSameFile(input.name, output.name)) {
        // Creating the output would truncate the input before a byte is read.
        std::fprintf(stderr, "***  %s\n", "Cannot copy file to itself!");
        return 1;
    }
    const unsigned result = tools::CopyStream(input.mode == EndpointMode::PipeServer, input.name,
                                              output.mode == EndpointMode::PipeServer,
                                              output.name, bufferSize, debug);
    if (result == 0) return 0;
    const char* text = tools::FileErrorText(result);
    std::fprintf(stderr, "***  %s\n", text ? text : "Unexpected error!");
    return 1;
}
