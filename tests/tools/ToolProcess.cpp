#include "ToolProcess.h"

#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

namespace {

std::string Slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

ToolProcess::~ToolProcess() {
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    if (!outPath_.empty()) {
        ::unlink(outPath_.c_str());
        ::unlink(errPath_.c_str());
    }
}

void ToolProcess::Start(const std::string& tool, const std::vector<std::string>& args,
                        const std::string& folder) {
    static int serial = 0;
    const std::string stem = "/tmp/qivo_tool_" + std::to_string(::getpid()) + "_" +
                             std::to_string(serial++);
    outPath_ = stem + ".out";
    errPath_ = stem + ".err";
    const std::string binary = std::string(QIVO_BIN_DIR) + "/" + tool;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(binary.c_str()));
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);

    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        int out = ::open(outPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int err = ::open(errPath_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0 || ::chdir(folder.c_str()) != 0) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        ::execv(binary.c_str(), argv.data());
        ::_exit(127);
    }
}

int ToolProcess::Wait() {
    int status = 0;
    while (::waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    pid_ = -1;
    out_ = Slurp(outPath_);
    err_ = Slurp(errPath_);
    if (WIFEXITED(status)) return WEXITSTATUS(status);
    return 128 + WTERMSIG(status);
}

ToolResult RunTool(const std::string& tool, const std::vector<std::string>& args,
                   const std::string& folder) {
    ToolProcess process;
    process.Start(tool, args, folder);
    int code = process.Wait();
    return {code, process.Out(), process.Err()};
}

ScratchFolder::ScratchFolder() {
    char name[] = "/tmp/qivo_tools_XXXXXX";
    if (!::mkdtemp(name)) throw std::runtime_error("mkdtemp failed");
    path_ = name;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

void ScratchFolder::Write(const std::string& name, const std::string& bytes) const {
    std::ofstream out(*this / name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ScratchFolder::Read(const std::string& name) const { return Slurp(*this / name); }

bool ScratchFolder::Exists(const std::string& name) const {
    return ::access((*this / name).c_str(), F_OK) == 0;
}

std::string PatternBytes(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& b : bytes) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<char>(state >> 24);
    }
    return bytes;
}
