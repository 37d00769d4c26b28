#include "FfmpegReference.h"

#include <cctype>
#include <cstdio>
#include <memory>
#include <sstream>
#include <stdexcept>

namespace mfxsw_test {
namespace {

struct PipeClose {
    void operator()(FILE* f) const { ::pclose(f); }
};

std::unique_ptr<FILE, PipeClose> Run(const std::string& arguments) {
    std::string command = "ffmpeg -nostdin -v error " + arguments;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) throw std::runtime_error("cannot run: " + command);
    return std::unique_ptr<FILE, PipeClose>(pipe);
}

}  // namespace

std::vector<std::string> FfmpegReference::FrameMd5(const std::string& path,
                                                   const std::string& pixFmt,
                                                   const std::string& filter) {
    std::string filtering = filter.empty() ? "" : " -vf " + filter;
    auto pipe = Run("-i '" + path + "'" + filtering + " -f framemd5 -pix_fmt " + pixFmt + " -");
    std::vector<std::string> md5s;
    char line[512];
    while (std::fgets(line, sizeof line, pipe.get())) {
        if (line[0] == '#') continue;
        std::istringstream fields(line);
        std::string field, last;
        while (std::getline(fields, field, ',')) last = field;
        std::string hex;
        for (char c : last)
            if (!std::isspace(static_cast<unsigned char>(c))) hex += c;
        if (!hex.empty()) md5s.push_back(hex);
    }
    return md5s;
}

std::vector<uint8_t> FfmpegReference::RawVideo(const std::string& path, const std::string& pixFmt) {
    auto pipe = Run("-i '" + path + "' -f rawvideo -pix_fmt " + pixFmt + " -");
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    size_t n;
    while ((n = std::fread(block, 1, sizeof block, pipe.get())) > 0)
        bytes.insert(bytes.end(), block, block + n);
    return bytes;
}

}  // namespace mfxsw_test
