#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <unistd.h>

#include "platform/FileHandle.h"

using platform::FileHandle;

TEST(FileHandle, WritesReadsSeeksAndSizesBeyond4GiB) {
    char name[] = "/tmp/qivo_fh_XXXXXX";
    int fd = ::mkstemp(name);
    ASSERT_GE(fd, 0);
    ::close(fd);
    {
        FileHandle out = FileHandle::CreateWrite(name);
        ASSERT_TRUE(out.Valid());
        ASSERT_TRUE(out.WriteAll("0123456789", 10));
        // A sparse write past 4 GiB proves the offsets are 64-bit.
        ASSERT_EQ(out.Seek(5'000'000'000LL, SEEK_SET), 5'000'000'000LL);
        ASSERT_TRUE(out.WriteAll("end", 3));
    }
    FileHandle in = FileHandle::OpenRead(name);
    ASSERT_TRUE(in.Valid());
    EXPECT_EQ(in.Size(), 5'000'000'003LL);
    char buffer[16] = {};
    EXPECT_EQ(in.ReadFull(buffer, 4), 4);
    EXPECT_EQ(std::string(buffer, 4), "0123");
    EXPECT_EQ(in.Seek(-3, SEEK_END), 5'000'000'000LL);
    EXPECT_EQ(in.ReadFull(buffer, 16), 3);
    EXPECT_EQ(in.Read(buffer, 16), 0);

    FileHandle moved = std::move(in);
    EXPECT_FALSE(in.Valid());
    EXPECT_TRUE(moved.Valid());
    ::unlink(name);
}

TEST(FileHandle, MissingFileIsInvalidWithErrno) {
    errno = 0;
    FileHandle in = FileHandle::OpenRead("/nonexistent/qivo/file");
    EXPECT_FALSE(in.Valid());
    EXPECT_EQ(errno, ENOENT);
}
