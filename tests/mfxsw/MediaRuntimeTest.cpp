// The loader puts the runtime where the dispatcher's dlopen by soname finds it.
#include "common/MediaRuntime.h"
#include "platform/ModuleList.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <string>

namespace {

TEST(MediaRuntimeTest, LoadsTheRuntimeFromItsOwnFolderUnderTheDispatchersName) {
    qivo::MediaRuntime runtime;
    ASSERT_TRUE(runtime.IsLoaded()) << runtime.Error();
    std::string expected = std::string(QIVO_BIN_DIR) + "/libmfxsw64.so.1";
    char real[PATH_MAX];
    ASSERT_NE(::realpath(expected.c_str(), real), nullptr);
    EXPECT_EQ(runtime.Path(), real);
    auto modules = platform::LoadedModules();
    EXPECT_NE(std::find(modules.begin(), modules.end(), runtime.Path()), modules.end());

    // What the dispatcher does: a bare soname resolves to the library already loaded.
    void* bySoname = ::dlopen("libmfx-gen.so.1.2", RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(bySoname, nullptr);
    void* byPath = ::dlopen(runtime.Path().c_str(), RTLD_NOW | RTLD_NOLOAD);
    EXPECT_EQ(bySoname, byPath);
    ::dlclose(bySoname);
    ::dlclose(byPath);
}

}  // namespace
