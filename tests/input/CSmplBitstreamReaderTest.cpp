#include <gtest/gtest.h>

#include <mfxstructures.h>
#include <mfxjpeg.h>

#include "InputTestSupport.h"
#include "common/CEnvFile.h"
#include "input/CSmplBitstreamReader.h"

namespace qivo {
namespace {

using test::Bytes;

class ReaderTest : public ::testing::Test {
protected:
    ReaderTest() : reader_([this] { return &env_; }) {}

    // Reads the whole input through a buffer of the given capacity, consuming a varying part of
    // the unread bytes each time as a decoder would.
    Bytes ReadAll(std::uint32_t capacity) {
        Bytes storage(capacity);
        mfxBitstream bs{};
        bs.Data = storage.data();
        bs.MaxLength = capacity;
        Bytes out;
        int round = 0;
        for (;;) {
            mfxStatus status = reader_.ReadBitstream(&bs);
            if (status == MFX_ERR_MORE_DATA) break;
            EXPECT_EQ(status, MFX_ERR_NONE);
            if (status != MFX_ERR_NONE) break;
            std::uint32_t take = bs.DataLength / (1 + round++ % 3);
            out.insert(out.end(), bs.Data + bs.DataOffset, bs.Data + bs.DataOffset + take);
            bs.DataOffset += take;
            bs.DataLength -= take;
        }
        out.insert(out.end(), bs.Data + bs.DataOffset, bs.Data + bs.DataOffset + bs.DataLength);
        return out;
    }

    CEnvFile env_;
    CSmplBitstreamReader reader_;
};

struct SourceCase {
    const char* name;
    mfxU32 codec;
    bool transportStream;
    const char* file;
    const char* expected;  // file whose bytes the reader must give
};

class ReaderSource : public ReaderTest, public ::testing::WithParamInterface<SourceCase> {};

TEST_P(ReaderSource, DeliversTheCodecsStream) {
    reader_.SetCodec(GetParam().codec);
    // A second name means nothing to a single-file codec and must not disturb H.264 either.
    std::vector<std::string> names = {test::MediaPath(GetParam().file)};
    if (GetParam().codec != MFX_CODEC_AVC) names.push_back(test::TempPath("ignored"));
    ASSERT_EQ(reader_.Init(names, GetParam().transportStream), MFX_ERR_NONE) << env_.ErrorText();
    EXPECT_EQ(ReadAll(10000), test::ReadFile(test::MediaPath(GetParam().expected)));
}

INSTANTIATE_TEST_SUITE_P(
    Codecs, ReaderSource,
    ::testing::Values(SourceCase{"mpeg2_file", MFX_CODEC_MPEG2, false, "mpeg2.m2v", "mpeg2.m2v"},
                      SourceCase{"mpeg2_ts", MFX_CODEC_MPEG2, true, "mpeg2_192.m2ts", "mpeg2_192.m2ts.es"},
                      SourceCase{"jpeg_file_despite_ts_flag", MFX_CODEC_JPEG, true, "jpeg.mjpeg", "jpeg.mjpeg"},
                      SourceCase{"avc_file", MFX_CODEC_AVC, false, "h264.264", "h264.264"},
                      SourceCase{"avc_ts", MFX_CODEC_AVC, true, "h264_188.ts", "h264_188.ts.es"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ReaderTest, InitRefusesEmptyListsAndNames) {
    reader_.SetCodec(MFX_CODEC_MPEG2);
    EXPECT_EQ(reader_.Init({}, false), MFX_ERR_UNSUPPORTED);
    EXPECT_EQ(env_.ErrorText(), "");
    EXPECT_EQ(reader_.Init({""}, false), MFX_ERR_NOT_INITIALIZED);
    EXPECT_EQ(env_.ErrorText(), "ERROR: member function called before initialization (-8),\tsrc\\qivo_utils (1225)\n\n");
}

TEST_F(ReaderTest, ReadBeforeInitOrWithoutBufferFails) {
    EXPECT_EQ(reader_.ReadBitstream(nullptr), MFX_ERR_NULL_PTR);
    mfxBitstream bs{};
    EXPECT_EQ(reader_.ReadBitstream(&bs), MFX_ERR_NOT_INITIALIZED);
    EXPECT_EQ(env_.ErrorText(), "ERROR: member function called before initialization (-8),\tsrc\\qivo_utils (1301)\n\n");
}

TEST_F(ReaderTest, MissingFilesAreNamedInTheReport) {
    std::string a = test::TempPath("missing-a.m2v"), b = test::TempPath("missing-b.264");
    reader_.SetCodec(MFX_CODEC_MPEG2);
    EXPECT_EQ(reader_.Init({a}, false), MFX_ERR_INVALID_HANDLE);
    reader_.SetCodec(MFX_CODEC_AVC);
    EXPECT_EQ(reader_.Init({test::MediaPath("h264.264"), b}, false), MFX_ERR_INVALID_HANDLE);
    EXPECT_EQ(env_.ErrorText(), "ERROR: Cannot open input file " + a + "\nERROR: Cannot open input files " +
                                    test::MediaPath("h264.264") + ", " + b + "\n");
    mfxBitstream bs{};
    EXPECT_EQ(reader_.ReadBitstream(&bs), MFX_ERR_NOT_INITIALIZED);
}

TEST_F(ReaderTest, FullBufferGetsNothingMoreAndKeepsItsBytes) {
    reader_.SetCodec(MFX_CODEC_JPEG);
    ASSERT_EQ(reader_.Init({test::MediaPath("jpeg.mjpeg")}, false), MFX_ERR_NONE);
    Bytes storage(64);
    mfxBitstream bs{};
    bs.Data = storage.data();
    bs.MaxLength = 64;
    ASSERT_EQ(reader_.ReadBitstream(&bs), MFX_ERR_NONE);
    EXPECT_EQ(bs.DataLength, 64u);
    EXPECT_EQ(reader_.ReadBitstream(&bs), MFX_ERR_MORE_DATA);
    EXPECT_EQ(bs.DataLength, 64u);
    EXPECT_EQ(storage[0], 0xFF) << "a JPEG starts with its SOI marker";
}

// Init on an initialised reader closes and starts again; Close leaves it unusable until then.
TEST_F(ReaderTest, InitAgainRestartsAndCloseStops) {
    reader_.SetCodec(MFX_CODEC_MPEG2);
    ASSERT_EQ(reader_.Init({test::MediaPath("mpeg2.m2v")}, false), MFX_ERR_NONE);
    Bytes storage(1000);
    mfxBitstream bs{};
    bs.Data = storage.data();
    bs.MaxLength = 1000;
    ASSERT_EQ(reader_.ReadBitstream(&bs), MFX_ERR_NONE);
    ASSERT_EQ(reader_.Init({test::MediaPath("mpeg2.m2v")}, false), MFX_ERR_NONE);
    EXPECT_EQ(ReadAll(5000), test::ReadFile(test::MediaPath("mpeg2.m2v")));
    reader_.Close();
    EXPECT_EQ(reader_.ReadBitstream(&bs), MFX_ERR_NOT_INITIALIZED);
}

}  // namespace
}  // namespace qivo
