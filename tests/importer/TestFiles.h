#pragma once
// Scratch folders and files for the importer and host tests.

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace qivo_test {

class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/qivo_importer_XXXXXX";
        if (const char* made = ::mkdtemp(name)) path_ = made;
    }
    ~TempDir() {
        if (!path_.empty()) std::system(("rm -rf '" + path_ + "'").c_str());
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    // Creates a sub-folder (one level) and returns its path.
    std::string Folder(const std::string& name) const {
        const std::string folder = File(name);
        ::mkdir(folder.c_str(), 0755);
        return folder;
    }

private:
    std::string path_;
};

inline void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

inline std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

inline std::string Utf16LeWithBom(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

// A raw planar 4:2:0 clip of the given number of frames, each frame filled with its number.
inline void WriteRawClip(const std::string& path, int width, int height, int frames, int extraBytes = 0) {
    const std::size_t frameSize = static_cast<std::size_t>(width) * height * 3 / 2;
    std::string bytes;
    for (int f = 0; f < frames; ++f) bytes.append(frameSize, static_cast<char>(f));
    bytes.append(static_cast<std::size_t>(extraBytes), '\x7F');
    WriteFile(path, bytes);
}

}  // namespace qivo_test
