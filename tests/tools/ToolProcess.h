#pragma once
// Runs one of the built tools as a separate process in a given folder, capturing its standard
// output and standard error, either to completion or in the background.

#include <string>
#include <sys/types.h>
#include <vector>

class ToolProcess {
public:
    ToolProcess() = default;
    ~ToolProcess();
    ToolProcess(const ToolProcess&) = delete;
    ToolProcess& operator=(const ToolProcess&) = delete;

    // tool is a file name in the build's bin folder.
    void Start(const std::string& tool, const std::vector<std::string>& args,
               const std::string& folder);
    // Waits for the exit and returns the exit code (128 + signal number after a signal).
    int Wait();

    const std::string& Out() const { return out_; }
    const std::string& Err() const { return err_; }

private:
    pid_t pid_ = -1;
    std::string outPath_, errPath_;
    std::string out_, err_;
};

struct ToolResult {
    int code;
    std::string out, err;
};

ToolResult RunTool(const std::string& tool, const std::vector<std::string>& args,
                   const std::string& folder);

// A fresh folder removed again when the object goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    void Write(const std::string& name, const std::string& bytes) const;
    std::string Read(const std::string& name) const;
    bool Exists(const std::string& name) const;

private:
    std::string path_;
};

// Bytes that differ from position to position, so that a shifted or reordered copy shows.
std::string PatternBytes(std::size_t size, unsigned seed);
