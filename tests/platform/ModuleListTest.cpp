#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

#include "platform/ModuleList.h"

using namespace platform;

TEST(ModuleList, ListsTheProgramFirstThenItsLibraries) {
    const auto modules = LoadedModules();
    ASSERT_GE(modules.size(), 2u);
    char self[PATH_MAX];
    ASSERT_NE(::realpath("/proc/self/exe", self), nullptr);
    EXPECT_EQ(modules.front(), self);
    EXPECT_TRUE(std::any_of(modules.begin(), modules.end(), [](const std::string& m) {
        return BaseName(m).rfind("libstdc++", 0) == 0;
    }));
}

TEST(ModuleList, FindsTheModuleOfAnAddress) {
    char self[PATH_MAX];
    ASSERT_NE(::realpath("/proc/self/exe", self), nullptr);
    static const int anchor = 0;
    EXPECT_EQ(ModulePathOf(&anchor), self);
    EXPECT_EQ(ModulePathOf(nullptr), "");
}

TEST(ModuleList, BaseNameTakesThePartAfterEitherSlash) {
    const struct {
        const char* path;
        const char* name;
    } cases[] = {
        {"/usr/lib/libQIVOImport.so", "libQIVOImport.so"},
        {"C:\\Plug-ins\\QIVOImport.prm", "QIVOImport.prm"},
        {"D:\\media/sub\\clip.264", "clip.264"},
        {"plain", "plain"},
        {"folder/", ""},
    };
    for (const auto& c : cases) EXPECT_EQ(BaseName(c.path), c.name) << c.path;
}
