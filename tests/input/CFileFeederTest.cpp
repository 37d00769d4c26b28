#include <gtest/gtest.h>

#include "InputTestSupport.h"
#include "input/CFileFeeder.h"

namespace qivo {
namespace {

using test::Bytes;

Bytes Pattern(std::size_t size) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i) b[i] = static_cast<std::uint8_t>(i * 131 + (i >> 8));
    return b;
}

std::string MakeFile(const std::string& name, const Bytes& bytes) {
    std::string path = test::TempPath(name);
    test::WriteFile(path, bytes);
    return path;
}

// Reads of every size, crossing block edges, give back the file; then the stream has ended.
TEST(CFileFeeder, DeliversTheFileInPiecesOfAnySize) {
    for (std::uint32_t piece : {1u, 7u, 4095u, 4096u, 4097u, 100000u}) {
        for (std::int32_t blockSize : {0, 100, 65536}) {
            Bytes file = Pattern(70000);
            CFileFeeder feeder;
            feeder.SetFileName(MakeFile("pieces.bin", file));
            feeder.SetBlockSize(blockSize);
            ASSERT_TRUE(feeder.Start());
            EXPECT_EQ(test::Drain(feeder, piece), file) << piece << " " << blockSize;
            std::uint32_t got = 99;
            std::uint8_t byte;
            EXPECT_FALSE(feeder.Read(&byte, 1, &got));
            EXPECT_EQ(got, 0u);
        }
    }
}

TEST(CFileFeeder, ShortFileEndsAfterOneShortRead) {
    CFileFeeder feeder;
    feeder.SetFileName(MakeFile("four.bin", {1, 2, 3, 4}));
    ASSERT_TRUE(feeder.Start());
    std::uint8_t out[10] = {};
    std::uint32_t got = 0;
    EXPECT_FALSE(feeder.Read(out, 0, &got)) << "a read of nothing";
    EXPECT_TRUE(feeder.Read(out, 10, &got));
    EXPECT_EQ(got, 4u);
    EXPECT_EQ(out[3], 4);
    EXPECT_FALSE(feeder.Read(out, 10, &got));
    EXPECT_EQ(got, 0u);
}

TEST(CFileFeeder, FileOfExactlyOneBlockEndsAtTheEmptyRefill) {
    Bytes file = Pattern(4096);
    CFileFeeder feeder;
    feeder.SetFileName(MakeFile("block.bin", file));
    ASSERT_TRUE(feeder.Start());
    Bytes out(5000);
    std::uint32_t got = 0;
    EXPECT_TRUE(feeder.Read(out.data(), 5000, &got));
    EXPECT_EQ(got, 4096u);
    EXPECT_FALSE(feeder.Read(out.data(), 1, &got));
}

TEST(CFileFeeder, NullDestinationSkipsBytes) {
    Bytes file = Pattern(3 * 1048576 / 2);
    CFileFeeder feeder;
    feeder.SetFileName(MakeFile("skip.bin", file));
    ASSERT_TRUE(feeder.Start());
    std::uint32_t got = 0;
    EXPECT_TRUE(feeder.Read(nullptr, 1048576, &got));
    EXPECT_EQ(got, 1048576u);
    std::uint8_t next = 0;
    EXPECT_TRUE(feeder.Read(&next, 1, &got));
    EXPECT_EQ(next, file[1048576]);
}

TEST(CFileFeeder, StopThenStartBeginsAgain) {
    Bytes file = Pattern(9000);
    CFileFeeder feeder;
    feeder.SetFileName(MakeFile("again.bin", file));
    ASSERT_TRUE(feeder.Start());
    Bytes part(5000);
    feeder.Read(part.data(), 5000, nullptr);
    feeder.Stop();
    std::uint8_t byte;
    EXPECT_FALSE(feeder.Read(&byte, 1, nullptr)) << "nothing after Stop";
    ASSERT_TRUE(feeder.Start());
    EXPECT_EQ(test::Drain(feeder), file);
}

TEST(CFileFeeder, StartFailsWithoutNameOrFileAndDeliversNothing) {
    CFileFeeder feeder;
    EXPECT_FALSE(feeder.Start());
    feeder.SetFileName(test::TempPath("no-such-file.bin"));
    EXPECT_FALSE(feeder.Start());
    std::uint8_t byte;
    EXPECT_FALSE(feeder.Read(&byte, 1, nullptr));
    feeder.SetFileName(nullptr);
    EXPECT_FALSE(feeder.Start());
}

}  // namespace
}  // namespace qivo
