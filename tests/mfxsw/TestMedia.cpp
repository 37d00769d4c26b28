#include "TestMedia.h"

#include <cstdlib>
#include <mutex>
#include <stdexcept>
#include <sys/stat.h>

namespace mfxsw_test {
namespace {

const std::string kFixtureDir = std::string(QIVO_BIN_DIR) + "/../mfxsw-fixtures";

bool Exists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && st.st_size > 0;
}

}  // namespace

std::string Fixture(const std::string& name) {
    static std::once_flag once;
    std::call_once(once, [] {
        std::string command = "bash '" MFXSW_FIXTURE_SCRIPT "' '" + kFixtureDir + "'";
        if (std::system(command.c_str()) != 0)
            throw std::runtime_error("fixture generation failed: " + command);
    });
    return kFixtureDir + "/" + name;
}

std::string Sample(const std::string& name) {
    std::string path = std::string(QIVO_SAMPLES_DIR) + "/" + name;
    return Exists(path) ? path : std::string();
}

}  // namespace mfxsw_test
