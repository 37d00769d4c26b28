#pragma once
// The feeders read files, so each fuzz input is written to a file of its own first.

#include <cstdint>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace qivo_fuzz {

class FuzzFile {
public:
    FuzzFile(const std::uint8_t* data, std::size_t size) {
        char name[] = "/tmp/qivo-fuzz-XXXXXX";
        int fd = ::mkstemp(name);
        if (fd < 0) return;
        for (std::size_t at = 0; at < size;) {
            ssize_t n = ::write(fd, data + at, size - at);
            if (n <= 0) break;
            at += static_cast<std::size_t>(n);
        }
        ::close(fd);
        path_ = name;
    }
    ~FuzzFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }
    FuzzFile(const FuzzFile&) = delete;
    FuzzFile& operator=(const FuzzFile&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

}  // namespace qivo_fuzz
