// Every picture the runtime decodes equals, byte for byte, what ffmpeg makes of the same file
// on the same libavcodec (visible area, planar 4:2:0).
#include "FfmpegReference.h"
#include "SdkDecodeLoop.h"
#include "TestMedia.h"

#include <mfxjpeg.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace mfxsw_test {
namespace {

struct OracleCase {
    const char* name;
    mfxU32 codec;
    bool sample;          // from the shared samples rather than generated
    bool interlaced;      // some output pictures must be marked as field pairs
};

std::string PathOf(const OracleCase& c) { return c.sample ? Sample(c.name) : Fixture(c.name); }

// JPEG pictures are full-range YCbCr, delivered as coded. ffmpeg's "-pix_fmt yuv420p" would
// also squeeze them into video range, so the planar layout without conversion is its yuvj420p.
const char* ReferenceFormat(mfxU32 codec) {
    return codec == MFX_CODEC_JPEG ? "yuvj420p" : "yuv420p";
}

void PrintTo(const OracleCase& c, std::ostream* os) { *os << c.name; }

class DecodeOracleTest : public ::testing::TestWithParam<OracleCase> {};

TEST_P(DecodeOracleTest, EveryPictureEqualsFfmpeg) {
    const OracleCase& c = GetParam();
    std::string path = PathOf(c);
    if (path.empty()) GTEST_SKIP() << "shared sample " << c.name << " is not there";
    SdkDecodeLoop::Options options;
    options.codec = c.codec;
    DecodeRun run = SdkDecodeLoop::Run(path, options);
    ASSERT_EQ(run.status, MFX_ERR_NONE) << "failed at " << run.failedAt;
    std::vector<std::string> expected = FfmpegReference::FrameMd5(path, ReferenceFormat(c.codec));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(run.pictures.size(), expected.size());
    bool sawInterlaced = false;
    for (size_t i = 0; i < std::min(expected.size(), run.pictures.size()); ++i) {
        EXPECT_EQ(run.pictures[i].md5, expected[i]) << "picture " << i;
        EXPECT_EQ(run.pictures[i].info.FourCC, static_cast<mfxU32>(MFX_FOURCC_NV12));
        EXPECT_EQ(run.pictures[i].info.FrameId.ViewId, 0);
        mfxU16 fields = MFX_PICSTRUCT_FIELD_TFF | MFX_PICSTRUCT_FIELD_BFF;
        if (run.pictures[i].info.PicStruct & fields) sawInterlaced = true;
    }
    EXPECT_EQ(sawInterlaced, c.interlaced);
}

INSTANTIATE_TEST_SUITE_P(
    Clips, DecodeOracleTest,
    ::testing::Values(OracleCase{"avc_progressive.264", MFX_CODEC_AVC, false, false},
                      OracleCase{"avc_mbaff.264", MFX_CODEC_AVC, false, true},
                      OracleCase{"avc_cropped.264", MFX_CODEC_AVC, false, false},
                      OracleCase{"HCAFF1_HHI.264", MFX_CODEC_AVC, true, true},
                      OracleCase{"MVCDS-4.264", MFX_CODEC_AVC, true, false},
                      OracleCase{"mpeg2_progressive.m2v", MFX_CODEC_MPEG2, false, false},
                      OracleCase{"mpeg2_interlaced.m2v", MFX_CODEC_MPEG2, false,
                                 true},
                      OracleCase{"vc1_ap_720p_from_wmv.vc1", MFX_CODEC_VC1, true, false},
                      OracleCase{"jpeg_420.mjpeg", MFX_CODEC_JPEG, false, false}),
    [](const ::testing::TestParamInfo<OracleCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// Surfaces reached only through the application's allocator get the same pictures, and the
// runtime asks that allocator for them once at Init and gives them back at Close.
TEST(DecodeVideoMemoryTest, PicturesThroughTheAllocatorEqualFfmpeg) {
    std::string path = Fixture("avc_progressive.264");
    SdkDecodeLoop::Options options;
    options.videoMemory = true;
    DecodeRun run = SdkDecodeLoop::Run(path, options);
    ASSERT_EQ(run.status, MFX_ERR_NONE) << "failed at " << run.failedAt;
    EXPECT_EQ(run.request.Type & MFX_MEMTYPE_VIDEO_MEMORY_DECODER_TARGET,
              MFX_MEMTYPE_VIDEO_MEMORY_DECODER_TARGET);
    std::vector<std::string> expected = FfmpegReference::FrameMd5(path, "yuv420p");
    ASSERT_EQ(run.pictures.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(run.pictures[i].md5, expected[i]) << "picture " << i;
}

// Two consecutive field pictures fill one surface, woven as ffmpeg's weave filter weaves them.
TEST(DecodeJpegFieldsTest, FieldPairsAreWovenIntoOneSurface) {
    std::string path = Fixture("jpeg_fields.mjpeg");
    for (auto [order, first] : {std::pair{mfxU16{MFX_PICSTRUCT_FIELD_TFF}, "top"},
                                std::pair{mfxU16{MFX_PICSTRUCT_FIELD_BFF}, "bottom"}}) {
        SCOPED_TRACE(first);
        SdkDecodeLoop::Options options;
        options.codec = MFX_CODEC_JPEG;
        options.jpegFieldOrder = order;
        DecodeRun run = SdkDecodeLoop::Run(path, options);
        ASSERT_EQ(run.status, MFX_ERR_NONE) << "failed at " << run.failedAt;
        EXPECT_EQ(run.header.mfx.FrameInfo.CropH, 120);
        std::vector<std::string> expected = FfmpegReference::FrameMd5(
            path, "yuvj420p", std::string("weave=first_field=") + first);
        ASSERT_EQ(run.pictures.size(), expected.size());
        for (size_t i = 0; i < expected.size(); ++i) {
            EXPECT_EQ(run.pictures[i].md5, expected[i]) << "picture " << i;
            EXPECT_EQ(run.pictures[i].info.PicStruct, order);
            EXPECT_EQ(run.pictures[i].info.CropH, 240);
        }
    }
}

double Psnr(const uint8_t* a, const uint8_t* b, size_t n) {
    double sum = 0;
    for (size_t i = 0; i < n; ++i) {
        double d = double(a[i]) - double(b[i]);
        sum += d * d;
    }
    if (sum == 0) return INFINITY;
    return 10 * std::log10(255.0 * 255.0 * double(n) / sum);
}

// 4:2:2 JPEG pictures become 4:2:0 by averaging chroma rows in pairs; luma is untouched.
TEST(DecodeJpeg422Test, LumaEqualsFfmpegAndChromaIsClose) {
    std::string path = Fixture("jpeg_422.mjpeg");
    SdkDecodeLoop::Options options;
    options.codec = MFX_CODEC_JPEG;
    options.keepPlanes = true;
    DecodeRun run = SdkDecodeLoop::Run(path, options);
    ASSERT_EQ(run.status, MFX_ERR_NONE) << "failed at " << run.failedAt;
    EXPECT_EQ(run.header.mfx.JPEGChromaFormat, MFX_CHROMAFORMAT_YUV422H);
    std::vector<uint8_t> reference = FfmpegReference::RawVideo(path, "yuvj420p");
    ASSERT_FALSE(run.pictures.empty());
    size_t frameSize = run.pictures[0].planes.size();
    ASSERT_EQ(reference.size(), frameSize * run.pictures.size());
    const mfxFrameInfo& info = run.pictures[0].info;
    size_t luma = size_t(info.CropW) * info.CropH;
    double worst = INFINITY;
    for (size_t i = 0; i < run.pictures.size(); ++i) {
        const uint8_t* ours = run.pictures[i].planes.data();
        const uint8_t* theirs = reference.data() + i * frameSize;
        EXPECT_EQ(0, std::memcmp(ours, theirs, luma)) << "luma of picture " << i;
        worst = std::min(worst, Psnr(ours + luma, theirs + luma, frameSize - luma));
    }
    std::printf("JPEG 4:2:2 -> 4:2:0 chroma PSNR against ffmpeg (yuvj420p), worst picture: %.2f dB\n",
                worst);
    RecordProperty("chroma_psnr_db", std::to_string(worst));
    EXPECT_GT(worst, 40.0);
}

}  // namespace
}  // namespace mfxsw_test
