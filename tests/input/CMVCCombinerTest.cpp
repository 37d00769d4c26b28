#include <gtest/gtest.h>

#include <filesystem>

#include "InputTestSupport.h"
#include "input/CMVCCombiner.h"

namespace qivo {
namespace {

using test::Bytes;

// A NAL unit: start code (4 or 3 bytes), header byte of the type, then body bytes that never
// form a start code.
Bytes Nal(int type, std::size_t body = 20, bool longStartCode = true, std::uint8_t seed = 1) {
    Bytes n = longStartCode ? Bytes{0, 0, 0, 1} : Bytes{0, 0, 1};
    n.push_back(static_cast<std::uint8_t>(0x60 | type));
    for (std::size_t i = 0; i < body; ++i) n.push_back(static_cast<std::uint8_t>(0x80 | ((seed + i) & 0x7F)));
    return n;
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
}

std::string Write(const std::string& name, const Bytes& bytes) {
    std::string path = test::TempPath(name);
    test::WriteFile(path, bytes);
    return path;
}

Bytes Combine(const std::string& base, const char* dependent = nullptr, std::uint32_t piece = 4096) {
    CMVCCombiner combiner;
    combiner.SetFiles(base.c_str(), dependent);
    EXPECT_TRUE(combiner.Start());
    Bytes out = test::Drain(combiner, piece);
    combiner.Stop();
    return out;
}

TEST(CMVCCombiner, SingleFfmpegStreamPassesThroughUnchanged) {
    std::string path = test::MediaPath("h264.264");
    EXPECT_EQ(Combine(path), test::ReadFile(path));
    EXPECT_EQ(Combine(path, nullptr, 1), test::ReadFile(path)) << "read a byte at a time";
}

TEST(CMVCCombiner, TransportStreamBaseViewGivesItsElementaryStream) {
    std::string path = test::MediaPath("h264_188.ts");
    CMVCCombiner combiner;
    combiner.SetTsFiles(path.c_str(), nullptr);
    ASSERT_TRUE(combiner.Start());
    EXPECT_EQ(test::Drain(combiner), test::ReadFile(path + ".es"));
}

TEST(CMVCCombiner, ConformanceStreamWithoutDelimitersPassesThrough) {
    std::string path = std::string(QIVO_SAMPLES_DIR) + "/MVCDS-4.264";
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "sample stream not found: " << path;
    EXPECT_EQ(Combine(path), test::ReadFile(path));
}

// Only end-of-sequence (10), end-of-stream (11) and units of 3 bytes or less are left out.
TEST(CMVCCombiner, DropsEndUnitsAndTinyUnitsOnly) {
    Bytes sps = Nal(7), pps = Nal(8, 5, false), idr = Nal(5, 300), slice = Nal(1, 40, false);
    Bytes aud = Nal(9, 1);
    Bytes endOfSequence = Nal(10, 0), endOfStream = Nal(11, 0, false);
    Bytes tiny = {0, 0, 1};              // a start code with nothing after it
    Bytes leadingGarbage = {0xAB, 0xCD};  // bytes before the first start code
    Bytes file = Join({leadingGarbage, aud, sps, pps, idr, tiny, endOfSequence, aud, slice, endOfStream, aud, slice});
    Bytes expected = Join({aud, sps, pps, idr, aud, slice, aud, slice});
    EXPECT_EQ(Combine(Write("drops.264", file)), expected);
}

// A zero byte before a 3-byte start code belongs to that start code: it leaves with a unit
// that is dropped, and the unit before keeps its own bytes.
TEST(CMVCCombiner, ZeroBeforeAShortStartCodeBelongsToTheNextUnit) {
    Bytes sps = Nal(7, 10), idr = Nal(5, 10);
    Bytes file = Join({sps, Bytes{0x00}, Nal(10, 3, false), idr});
    EXPECT_EQ(Combine(Write("zeros.264", file)), Join({sps, idr}));
}

// Units larger than the scanner's 64 KiB buffer come out whole, including a last unit that no
// start code follows.
TEST(CMVCCombiner, LargeUnitsAndAnUnterminatedLastUnitComeOutWhole) {
    Bytes file = Join({Nal(9, 1), Nal(5, 200000), Nal(9, 1), Nal(1, 70000), Nal(9, 1), Nal(1, 140000, false)});
    EXPECT_EQ(Combine(Write("large.264", file)), file);
}

// The stream ends 6 bytes into a buffer that the last unit fills to its end: the end marker
// needs room the buffer does not have.
TEST(CMVCCombiner, EndMarkerFindsRoomAfterAFullBuffer) {
    Bytes aud = Nal(9, 1);
    Bytes big = Nal(1, 65536 - aud.size() - 5);
    Bytes file = Join({aud, big});
    ASSERT_EQ(file.size(), 65536u);
    EXPECT_EQ(Combine(Write("full.264", file)), file);
}

Bytes AccessUnit(int delimiter, int slices, std::uint8_t seed) {
    Bytes au = Nal(delimiter, 2, true, seed);
    int sliceType = delimiter == 9 ? 1 : 20;
    for (int i = 0; i < slices; ++i) {
        Bytes s = Nal(sliceType, 30 + i, i % 2 == 0, static_cast<std::uint8_t>(seed + i));
        au.insert(au.end(), s.begin(), s.end());
    }
    return au;
}

struct StereoCase {
    const char* name;
    int baseUnits;
    int dependentUnits;
};

class StereoInterleave : public ::testing::TestWithParam<StereoCase> {};

// Base-view access units open with delimiter 9, dependent-view ones with 24. The combined
// stream takes one of each in turn, base view first; a view that ends lets the other go on.
TEST_P(StereoInterleave, AlternatesAccessUnitsStartingWithTheBaseView) {
    std::vector<Bytes> base, dependent;
    Bytes baseFile, dependentFile;
    for (int i = 0; i < GetParam().baseUnits; ++i) {
        base.push_back(AccessUnit(9, 1 + i % 3, static_cast<std::uint8_t>(i)));
        baseFile.insert(baseFile.end(), base.back().begin(), base.back().end());
    }
    for (int i = 0; i < GetParam().dependentUnits; ++i) {
        dependent.push_back(AccessUnit(24, 2, static_cast<std::uint8_t>(100 + i)));
        dependentFile.insert(dependentFile.end(), dependent.back().begin(), dependent.back().end());
    }
    Bytes expected;
    for (std::size_t i = 0; i < std::max(base.size(), dependent.size()); ++i) {
        if (i < base.size()) expected.insert(expected.end(), base[i].begin(), base[i].end());
        if (i < dependent.size()) expected.insert(expected.end(), dependent[i].begin(), dependent[i].end());
    }
    std::string basePath = Write(std::string(GetParam().name) + "-base.264", baseFile);
    std::string dependentPath = Write(std::string(GetParam().name) + "-dependent.264", dependentFile);
    EXPECT_EQ(Combine(basePath, dependentPath.c_str(), 100), expected);
}

INSTANTIATE_TEST_SUITE_P(Views, StereoInterleave,
                         ::testing::Values(StereoCase{"equal", 4, 4}, StereoCase{"dependent_ends_early", 5, 2},
                                           StereoCase{"base_ends_early", 2, 5}, StereoCase{"empty_dependent", 3, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// Streams made mostly of zeros and ones, cut at sizes around the scanner's buffer steps, are
// split and merged without a crash or an access outside a buffer (the sanitizer build checks
// that), and never give more bytes than the views hold.
TEST(CMVCCombiner, SurvivesStreamsOfStartCodeFragments) {
    std::uint32_t state = 12345;
    auto next = [&state] { return state = state * 1103515245u + 12345u; };
    for (std::size_t size : {0u, 1u, 3u, 7u, 65535u, 65536u, 65537u, 65544u, 131080u}) {
        Bytes base(size), dependent(size / 2 + 5);
        for (Bytes* b : {&base, &dependent})
            for (auto& byte : *b) {
                std::uint32_t r = next() >> 16;
                byte = r % 4 == 0 ? 1 : r % 4 == 1 ? static_cast<std::uint8_t>(r >> 8) : 0;
            }
        std::string basePath = Write("fragments-base.264", base), dependentPath = Write("fragments-dep.264", dependent);
        for (const char* second : {static_cast<const char*>(nullptr), dependentPath.c_str()}) {
            CMVCCombiner combiner;
            combiner.SetFiles(basePath.c_str(), second);
            ASSERT_TRUE(combiner.Start());
            Bytes out = test::Drain(combiner, 999);
            EXPECT_LE(out.size(), base.size() + (second ? dependent.size() : 0)) << size;
        }
    }
}

TEST(CMVCCombiner, StartFailsWhenAViewCannotBeOpened) {
    CMVCCombiner combiner;
    std::string base = Write("only-base.264", AccessUnit(9, 1, 0));
    std::string missing = test::TempPath("missing-dependent.264");
    combiner.SetFiles(base.c_str(), missing.c_str());
    EXPECT_FALSE(combiner.Start());
    std::uint8_t byte;
    EXPECT_FALSE(combiner.Read(&byte, 1, nullptr));
    combiner.Stop();
    combiner.SetFiles(nullptr, nullptr);
    EXPECT_FALSE(combiner.Start());
}

TEST(CMVCCombiner, StopThenStartBeginsBothFilesAgain) {
    Bytes base = Join({AccessUnit(9, 2, 1), AccessUnit(9, 1, 2)});
    Bytes dependent = Join({AccessUnit(24, 2, 3), AccessUnit(24, 2, 4)});
    std::string basePath = Write("again-base.264", base), dependentPath = Write("again-dep.264", dependent);
    CMVCCombiner combiner;
    combiner.SetFiles(basePath.c_str(), dependentPath.c_str());
    ASSERT_TRUE(combiner.Start());
    Bytes first = test::Drain(combiner, 13);
    combiner.Stop();
    ASSERT_TRUE(combiner.Start());
    EXPECT_EQ(test::Drain(combiner), first);
    EXPECT_EQ(first.size(), base.size() + dependent.size());
}

TEST(CMVCCombiner, NalTypeReadsTheHeaderAfterEitherStartCode) {
    const Bytes four = {0, 0, 0, 1, 0x65, 0x88}, three = {0, 0, 1, 0x09, 0xF0}, bare = {0, 0, 0, 1};
    EXPECT_EQ(CMVCCombiner::NalType(four.data(), four.size()), 5);
    EXPECT_EQ(CMVCCombiner::NalType(three.data(), three.size()), 9);
    EXPECT_EQ(CMVCCombiner::NalType(bare.data(), bare.size()), 0) << "a start code alone has no type";
}

}  // namespace
}  // namespace qivo
