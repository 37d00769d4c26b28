// DecodeHeader describes the stream as the SDK does and leaves the bitstream at the header.
#include "SdkSession.h"
#include "TestMedia.h"

#include <mfxjpeg.h>
#include <mfxmvc.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <vector>

namespace mfxsw_test {
namespace {

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {});
}

mfxBitstream Over(std::vector<uint8_t>& bytes, mfxU16 flags = 0) {
    mfxBitstream bs{};
    bs.Data = bytes.data();
    bs.DataLength = bs.MaxLength = static_cast<mfxU32>(bytes.size());
    bs.DataFlag = flags;
    return bs;
}

struct HeaderCase {
    const char* name;
    bool sample;
    mfxU32 codec;
    mfxU16 width, height, cropX, cropY, cropW, cropH;
    mfxU32 rateN, rateD;
    mfxU16 aspectW, aspectH, picStruct;
};

void PrintTo(const HeaderCase& c, std::ostream* os) { *os << c.name; }

class DecodeHeaderTest : public ::testing::TestWithParam<HeaderCase> {};

TEST_P(DecodeHeaderTest, DescribesTheStream) {
    const HeaderCase& c = GetParam();
    std::string path = c.sample ? Sample(c.name) : Fixture(c.name);
    if (path.empty()) GTEST_SKIP() << "shared sample " << c.name << " is not there";
    std::vector<uint8_t> bytes = ReadFile(path);
    SdkSession session;
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    mfxBitstream bs = Over(bytes);
    mfxVideoParam par{};
    par.mfx.CodecId = c.codec;
    par.AsyncDepth = 7;
    ASSERT_EQ(MFXVideoDECODE_DecodeHeader(session, &bs, &par), MFX_ERR_NONE);
    const mfxFrameInfo& fi = par.mfx.FrameInfo;
    EXPECT_EQ(fi.Width, c.width);
    EXPECT_EQ(fi.Height, c.height);
    EXPECT_EQ(fi.CropX, c.cropX);
    EXPECT_EQ(fi.CropY, c.cropY);
    EXPECT_EQ(fi.CropW, c.cropW);
    EXPECT_EQ(fi.CropH, c.cropH);
    EXPECT_EQ(fi.FrameRateExtN, c.rateN);
    EXPECT_EQ(fi.FrameRateExtD, c.rateD);
    EXPECT_EQ(fi.AspectRatioW, c.aspectW);
    EXPECT_EQ(fi.AspectRatioH, c.aspectH);
    EXPECT_EQ(fi.PicStruct, c.picStruct);
    EXPECT_EQ(fi.FourCC, static_cast<mfxU32>(MFX_FOURCC_NV12));
    EXPECT_EQ(fi.ChromaFormat, MFX_CHROMAFORMAT_YUV420);
    EXPECT_EQ(fi.BitDepthLuma, 8);
    EXPECT_EQ(par.AsyncDepth, 7) << "application fields stay as they were";
    EXPECT_EQ(bs.DataOffset, 0u) << "the header at the start of the file is not consumed";
}

constexpr mfxU16 kProg = MFX_PICSTRUCT_PROGRESSIVE, kField = MFX_PICSTRUCT_UNKNOWN;

INSTANTIATE_TEST_SUITE_P(
    Streams, DecodeHeaderTest,
    ::testing::Values(
        HeaderCase{"avc_progressive.264", false, MFX_CODEC_AVC, 320, 240, 0, 0, 320, 240, 25, 1, 1, 1, kProg},
        // Field-capable sequences are aligned to 32 rows and leave the structure to each picture.
        HeaderCase{"avc_mbaff.264", false, MFX_CODEC_AVC, 320, 256, 0, 0, 320, 240, 25, 1, 1, 1, kField},
        HeaderCase{"avc_cropped.264", false, MFX_CODEC_AVC, 208, 128, 0, 0, 200, 118, 25, 1, 1, 1, kProg},
        HeaderCase{"HCAFF1_HHI.264", true, MFX_CODEC_AVC, 352, 288, 0, 0, 352, 288, 0, 0, 0, 0, kField},
        HeaderCase{"mpeg2_progressive.m2v", false, MFX_CODEC_MPEG2, 320, 240, 0, 0, 320, 240, 25, 1, 1, 1, kProg},
        HeaderCase{"mpeg2_interlaced.m2v", false, MFX_CODEC_MPEG2, 320, 256, 0, 0, 320, 240, 25, 1, 1, 1, kField},
        HeaderCase{"vc1_ap_720p_from_wmv.vc1", true, MFX_CODEC_VC1, 1280, 720, 0, 0, 1280, 720, 30000, 1001, 0, 0, kProg},
        HeaderCase{"jpeg_420.mjpeg", false, MFX_CODEC_JPEG, 320, 240, 0, 0, 320, 240, 0, 0, 1, 1, kProg},
        HeaderCase{"jpeg_422.mjpeg", false, MFX_CODEC_JPEG, 320, 240, 0, 0, 320, 240, 0, 0, 1, 1, kProg}),
    [](const ::testing::TestParamInfo<HeaderCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
        return name;
    });

// Bytes before the header are skipped, the header itself stays for decoding; a header cut by
// the end of the buffer asks for more data without losing its start.
TEST(DecodeHeaderPositionTest, SkipsToTheHeaderAndKeepsIt) {
    for (auto [name, codec] : {std::pair{"avc_progressive.264", mfxU32{MFX_CODEC_AVC}},
                               std::pair{"mpeg2_progressive.m2v", mfxU32{MFX_CODEC_MPEG2}},
                               std::pair{"jpeg_420.mjpeg", mfxU32{MFX_CODEC_JPEG}}}) {
        SCOPED_TRACE(name);
        std::vector<uint8_t> stream = ReadFile(Fixture(name));
        std::vector<uint8_t> bytes(1000 + stream.size(), 0x55);
        std::copy(stream.begin(), stream.end(), bytes.begin() + 1000);
        SdkSession session;
        ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
        mfxVideoParam par{};
        par.mfx.CodecId = codec;

        std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + 1010);
        mfxBitstream partial = Over(cut);
        EXPECT_EQ(MFXVideoDECODE_DecodeHeader(session, &partial, &par), MFX_ERR_MORE_DATA);
        EXPECT_EQ(partial.DataOffset, 1000u);
        EXPECT_EQ(partial.DataLength, 10u);

        mfxBitstream bs = Over(bytes);
        ASSERT_EQ(MFXVideoDECODE_DecodeHeader(session, &bs, &par), MFX_ERR_NONE);
        EXPECT_EQ(bs.DataOffset, 1000u);
        EXPECT_EQ(bs.DataLength, stream.size());
        ASSERT_EQ(MFXVideoDECODE_DecodeHeader(session, &bs, &par), MFX_ERR_NONE);
        EXPECT_EQ(bs.DataOffset, 1000u) << "a second call finds the same header";
    }
}

TEST(DecodeHeaderPositionTest, WithoutHeaderKeepsOnlyAPossibleStartCodePrefix) {
    std::vector<uint8_t> bytes(5000, 0x55);
    bytes.back() = 0;
    SdkSession session;
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    mfxVideoParam par{};
    par.mfx.CodecId = MFX_CODEC_AVC;
    mfxBitstream bs = Over(bytes, MFX_BITSTREAM_EOS);
    EXPECT_EQ(MFXVideoDECODE_DecodeHeader(session, &bs, &par), MFX_ERR_MORE_DATA);
    EXPECT_EQ(bs.DataLength, 3u);
    EXPECT_EQ(bs.DataOffset, 4997u);
    par.mfx.CodecId = MFX_CODEC_HEVC;
    EXPECT_EQ(MFXVideoDECODE_DecodeHeader(session, &bs, &par), MFX_ERR_UNSUPPORTED);
}

// A frame header with an absurd size is no header: its aligned size would not even fit the
// SDK's 16-bit frame sizes.
TEST(DecodeHeaderPositionTest, AbsurdJpegSizeIsNotAHeader) {
    std::vector<uint8_t> bytes = {0xFF, 0xD8,                                 // SOI
                                  0xFF, 0xC0, 0x00, 0x11, 0x08, 0xFF, 0xFF,   // SOF0, 8 bits, 65535 high
                                  0xFF, 0xFF, 0x03,                           // 65535 wide, 3 components
                                  0x01, 0x22, 0x00, 0x02, 0x11, 0x01, 0x03, 0x11, 0x01,
                                  0xFF, 0xD9};
    SdkSession session;
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    mfxVideoParam par{};
    par.mfx.CodecId = MFX_CODEC_JPEG;
    mfxBitstream bs = Over(bytes, MFX_BITSTREAM_EOS);
    EXPECT_EQ(MFXVideoDECODE_DecodeHeader(session, &bs, &par), MFX_ERR_MORE_DATA);
    EXPECT_EQ(par.mfx.FrameInfo.Width, 0);
}

// The two-step MVC protocol: counts first, then views, view ids and operation points from the
// subset SPS. The second view predicts from the first, which this runtime does not decode.
TEST(DecodeHeaderMvcTest, DescribesTheViewsOfTheSubsetSps) {
    std::string path = Sample("MVCDS-4.264");
    if (path.empty()) GTEST_SKIP() << "shared sample MVCDS-4.264 is not there";
    std::vector<uint8_t> bytes = ReadFile(path);
    SdkSession session;
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    mfxExtMVCSeqDesc desc{};
    desc.Header.BufferId = MFX_EXTBUFF_MVC_SEQ_DESC;
    desc.Header.BufferSz = sizeof desc;
    mfxExtBuffer* ext[] = {&desc.Header};
    mfxVideoParam par{};
    par.mfx.CodecId = MFX_CODEC_AVC;
    par.ExtParam = ext;
    par.NumExtParam = 1;
    mfxBitstream bs = Over(bytes);

    ASSERT_EQ(MFXVideoDECODE_DecodeHeader(session, &bs, &par), MFX_ERR_NOT_ENOUGH_BUFFER);
    EXPECT_EQ(bs.DataOffset, 0u);
    EXPECT_EQ(desc.NumView, 2u);
    ASSERT_GE(desc.NumViewId, 2u);
    ASSERT_GE(desc.NumOP, 1u);
    std::vector<mfxMVCViewDependency> views(desc.NumView);
    std::vector<mfxU16> viewIds(desc.NumViewId);
    std::vector<mfxMVCOperationPoint> ops(desc.NumOP);
    desc.View = views.data();
    desc.NumViewAlloc = desc.NumView;
    desc.ViewId = viewIds.data();
    desc.NumViewIdAlloc = desc.NumViewId;
    desc.OP = ops.data();
    desc.NumOPAlloc = desc.NumOP;

    ASSERT_EQ(MFXVideoDECODE_DecodeHeader(session, &bs, &par), MFX_ERR_NONE);
    EXPECT_EQ(bs.DataOffset, 0u);
    EXPECT_EQ(views[0].ViewId, 0);
    EXPECT_EQ(views[1].ViewId, 2);
    mfxU16 largest = std::max(views[0].ViewId, views[1].ViewId);
    EXPECT_EQ(largest + 1, 3) << "the pipeline's view count";
    EXPECT_EQ(views[1].NumAnchorRefsL0 + views[1].NumAnchorRefsL1, 1);
    EXPECT_EQ(views[1].AnchorRefL0[0], 0);
    for (const auto& op : ops) {
        EXPECT_GE(op.TargetViewId, viewIds.data());
        EXPECT_LE(op.TargetViewId + op.NumTargetViews, viewIds.data() + viewIds.size());
    }
    EXPECT_EQ(par.mfx.CodecProfile, MFX_PROFILE_AVC_MULTIVIEW_HIGH);

    par.IOPattern = MFX_IOPATTERN_OUT_SYSTEM_MEMORY;
    EXPECT_EQ(MFXVideoDECODE_Init(session, &par), MFX_ERR_UNSUPPORTED);
}

}  // namespace
}  // namespace mfxsw_test
