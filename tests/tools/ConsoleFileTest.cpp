#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "ToolProcess.h"
#include "tools/common/ConsoleFile.h"
#include "tools/common/FileErrorText.h"

TEST(ConsoleFile, PipeNameRule) {
    struct Case {
        const char* name;
        bool pipe;
    } cases[] = {
        {"\\\\.\\pipe\\name", true},
        {"\\\\server\\PIPE\\name", true},
        {"\\\\.\\\\pipe\\name", true},
        {"\\\\.\\pipe\\", true},
        {"\\\\.\\PIPE\\x", true},
        {"\\\\.\\pipe", false},
        {"\\\\\\pipe\\name", false},
        {"\\\\.\\pipes\\name", false},
        {"\\\\a\\b\\pipe\\name", false},
        {"\\\\.\\pipe/name", false},   // only backslashes separate here
        {"\\\\./pipe\\name", false},
        {"//./pipe/name", false},
        {"\\\\server", false},
        {nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(tools::IsPipeName(c.name), c.pipe);
    }
}

TEST(ConsoleFile, ErrorTexts) {
    EXPECT_EQ(tools::FileErrorText(0), nullptr);
    EXPECT_EQ(tools::FileErrorText(150), nullptr);
    EXPECT_STREQ(tools::FileErrorText(101), "Cannot open file!");
    EXPECT_STREQ(tools::FileErrorText(106), "File write error!");
    EXPECT_STREQ(tools::FileErrorText(200), "null-pointer access!");
    EXPECT_STREQ(tools::FileErrorText(201), "Insufficient memory!");
}

TEST(ConsoleFile, OutputFileIsTruncatedAndAMissingInputFailsAtOnce) {
    ScratchFolder folder;
    folder.Write("out.bin", "older and longer contents");
    {
        platform::FileHandle out = tools::OpenOutputFile(folder / "out.bin", 0);
        ASSERT_TRUE(out.Valid());
        ASSERT_TRUE(out.WriteAll("new", 3));
    }
    EXPECT_EQ(folder.Read("out.bin"), "new");

    errno = 0;
    EXPECT_FALSE(tools::OpenInputFile(folder / "missing.bin").Valid());
    EXPECT_EQ(errno, ENOENT);
    // A pipe server needs a buffer size.
    EXPECT_FALSE(tools::OpenOutputFile("\\\\.\\pipe\\qivo-zero-buffer", 0).Valid());
}
