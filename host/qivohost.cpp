// qivohost: loads libQIVOImport.so from its own folder and drives it as the editing host does.
//
//   qivohost open DESCRIPTOR     start-up, file format, open the clip, close it
//
// Exit status: 0 when every request succeeded, 1 when the plug-in refused one, 2 for a usage
// or loading problem, 3 when the plug-in left host memory or suites behind.

#include <cstdio>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "host/Host.h"
#include "host/PluginDriver.h"
#include "host/PluginLibrary.h"

namespace {

constexpr char kPluginFile[] = "libQIVOImport.so";

const char* ResultText(std::int32_t result) {
    switch (result) {
        case host::kResultSuccess: return "success";
        case host::kResultCannotOpen: return "the clip cannot be opened";
        case host::kResultUnsupported: return "request not supported";
        case host::kResultBadFrameSizeIndex: return "no such frame size";
        case host::kResultAnotherStream: return "another stream follows";
        case host::kResultNoMoreStreams: return "no such stream";
        case host::kResultFileSeekFailed: return "file position cannot be set";
        case host::kResultBadFormatIndex: return "no such format";
        default: return "unknown result";
    }
}

std::string TypeText(std::uint32_t code) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        const char c = static_cast<char>((code >> shift) & 0xFF);
        text += (c >= 32 && c < 127) ? c : '?';
    }
    return text;
}

// Bounded: a plug-in that forgets the terminator must not make the host read on.
std::string FieldText(const char* field, std::size_t size) {
    return std::string(field, strnlen(field, size));
}

bool HasExtension(const std::string& path, const std::string& extensions) {
    const auto slash = path.find_last_of("/\\");
    const auto dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    const std::string ext = path.substr(dot + 1);
    std::size_t start = 0;
    while (start <= extensions.size()) {
        const auto end = extensions.find_first_of(";, ", start);
        const std::string one = extensions.substr(start, end - start);
        if (!one.empty() && strcasecmp(one.c_str(), ext.c_str()) == 0) return true;
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return false;
}

// The plug-in loaded and started, as the host has it before the user picks a file.
struct Session {
    host::Host host;
    host::PluginLibrary library;
    host::PluginDriver driver;
    std::string extensions;

    explicit Session(host::PluginLibrary lib)
        : library(std::move(lib)), driver(host, library.Entry()) {}
};

bool StartSession(Session& session) {
    host::ImportInfoRecord info{};
    const std::int32_t startup = session.driver.Startup(info);
    std::printf("start-up (0): %d, %s\n", startup, ResultText(startup));
    if (startup != host::kResultSuccess) return false;

    host::FileFormatRecord format{};
    const std::int32_t result = session.driver.FileFormat(0, format);
    std::printf("file format (14), index 0: %d, %s", result, ResultText(result));
    if (result != host::kResultSuccess) {
        std::printf("\n");
        return false;
    }
    session.extensions = FieldText(format.extensions, sizeof format.extensions);
    std::printf("; type '%s', \"%s\", \"%s\", extensions \"%s\"\n", TypeText(format.fileType).c_str(),
                FieldText(format.formatName, sizeof format.formatName).c_str(),
                FieldText(format.shortName, sizeof format.shortName).c_str(),
                session.extensions.c_str());
    return true;
}

// What the plug-in left behind after its clips were closed.
bool CheckHostClean(Session& session) {
    const std::size_t handles = session.host.Memory().LiveHandles();
    const int suites = session.host.Broker().Held();
    const int faults = session.host.Memory().Faults();
    if (handles == 0 && suites == 0 && faults == 0) return true;
    std::fprintf(stderr, "qivohost: plug-in left %zu memory handles and %d suites behind, %d memory faults\n",
                 handles, suites, faults);
    return false;
}

int RunOpen(Session& session, const std::vector<std::string>& args) {
    const std::string& path = args[0];
    if (!HasExtension(path, session.extensions)) {
        std::fprintf(stderr, "qivohost: %s is not a file of this importer (extensions \"%s\")\n",
                     path.c_str(), session.extensions.c_str());
        return 2;
    }
    if (!host::PluginDriver::PathFits(path)) {
        std::fprintf(stderr, "qivohost: %s: path longer than the host's 259 characters\n", path.c_str());
        return 2;
    }
    host::ClipState clip;
    const std::int32_t opened = session.driver.Open(path, clip);
    std::printf("open (39) %s: %d, %s", path.c_str(), opened, ResultText(opened));
    if (opened == host::kResultSuccess) std::printf("; file type '%s'", TypeText(clip.fileType).c_str());
    std::printf("\n");
    // The host closes a clip whose open created private data, whether or not the open succeeded.
    if (clip.privateData || clip.file != host::kInvalidFileRef) {
        const std::int32_t closed = session.driver.Close(clip);
        std::printf("close (9): %d, %s\n", closed, ResultText(closed));
    }
    if (!CheckHostClean(session)) return 3;
    return opened == host::kResultSuccess ? 0 : 1;
}

struct Command {
    const char* name;
    const char* arguments;
    std::size_t argumentCount;
    int (*run)(Session&, const std::vector<std::string>&);
};

constexpr Command kCommands[] = {
    {"open", "DESCRIPTOR", 1, &RunOpen},
};

void Usage() {
    std::fprintf(stderr, "usage:\n");
    for (const Command& command : kCommands) {
        std::fprintf(stderr, "  qivohost %s %s\n", command.name, command.arguments);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        Usage();
        return 2;
    }
    const Command* command = nullptr;
    for (const Command& c : kCommands) {
        if (std::strcmp(argv[1], c.name) == 0) command = &c;
    }
    std::vector<std::string> args(argv + 2, argv + argc);
    if (!command || args.size() != command->argumentCount) {
        Usage();
        return 2;
    }

    const std::string pluginPath = host::PluginLibrary::ProgramFolder() + kPluginFile;
    host::PluginLibrary library = host::PluginLibrary::Load(pluginPath);
    if (!library.Loaded()) {
        std::fprintf(stderr, "qivohost: %s\n", library.Error().c_str());
        return 2;
    }
    std::printf("plug-in: %s\n", pluginPath.c_str());
    std::fflush(stdout);

    int status;
    {
        Session session(std::move(library));
        if (!StartSession(session)) return 1;
        status = command->run(session, args);
        std::fflush(stdout);
    }
    return status;
}
