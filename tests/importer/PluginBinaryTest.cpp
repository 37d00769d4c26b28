// What the built plug-in shows to a host before any call: one exported function and the
// resource that declares its file type.

#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "TestFiles.h"

namespace {

const std::string kPlugin = std::string(QIVO_BIN_DIR) + "/libQIVOImport.so";

std::string RunCommand(const std::string& command) {
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[4096];
        while (std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

TEST(PluginBinaryTest, ExportsOnlyTheEntryPoint) {
    // Defined dynamic symbols; the sanitizer build adds the toolchain's own, which are not ours.
    const std::string listing = RunCommand("nm -D --defined-only '" + kPlugin + "'");
    ASSERT_FALSE(listing.empty());
    std::vector<std::string> ours;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        const std::string name = line.substr(line.rfind(' ') + 1);
        const bool toolchain = name.rfind("__asan", 0) == 0 || name.rfind("__ubsan", 0) == 0 ||
                               name.rfind("__sanitizer", 0) == 0 || name.rfind("__odr_asan", 0) == 0 ||
                               name == "_init" || name == "_fini" || name == "_edata" || name == "_end" ||
                               name == "__bss_start";
        if (!toolchain) ours.push_back(name);
    }
    EXPECT_EQ(ours, std::vector<std::string>{"xImportEntry"}) << listing;
}

TEST(PluginBinaryTest, ResourceDeclaresTheFileType) {
    qivo_test::TempDir dir;
    const std::string out = dir.File("impt.bin");
    RunCommand("objcopy -O binary --only-section=IMPT '" + kPlugin + "' '" + out + "'");
    EXPECT_EQ(qivo_test::ReadFile(out), std::string("\0\0OVIQ", 6));
}

}  // namespace
