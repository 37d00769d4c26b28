// Damaged and hostile input gives a clear answer, never a crash or a read outside a buffer
// (the sanitized build checks the latter).
#include "SdkDecodeLoop.h"
#include "SdkSession.h"
#include "TestMedia.h"

#include <mfxjpeg.h>
#include <mfxmvc.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <random>
#include <vector>

namespace mfxsw_test {
namespace {

struct DamageCase {
    const char* name;
    bool sample;
    mfxU32 codec;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class DamagedStreamTest : public ::testing::TestWithParam<DamageCase> {};

// Junk in the middle and a cut at the end: decoding carries on past the damage to the end.
TEST_P(DamagedStreamTest, DecodesAroundTheDamage) {
    const DamageCase& c = GetParam();
    std::string path = c.sample ? Sample(c.name) : Fixture(c.name);
    if (path.empty()) GTEST_SKIP() << "shared sample " << c.name << " is not there";
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes(std::istreambuf_iterator<char>(in), {});
    ASSERT_GT(bytes.size(), 8000u);
    std::mt19937 random(7);
    for (size_t i = bytes.size() / 2; i < bytes.size() / 2 + 2000; ++i)
        bytes[i] = static_cast<char>(random());
    bytes.resize(bytes.size() - 1000);
    std::string damaged = Fixture(std::string("damaged_") + c.name);
    std::ofstream(damaged, std::ios::binary).write(bytes.data(), bytes.size());

    SdkDecodeLoop::Options options;
    options.codec = c.codec;
    DecodeRun run = SdkDecodeLoop::Run(damaged, options);
    std::remove(damaged.c_str());
    EXPECT_EQ(run.status, MFX_ERR_NONE) << "failed at " << run.failedAt;
    EXPECT_GE(run.pictures.size(), 2u);
}

INSTANTIATE_TEST_SUITE_P(Streams, DamagedStreamTest,
                         ::testing::Values(DamageCase{"avc_progressive.264", false, MFX_CODEC_AVC},
                                           DamageCase{"mpeg2_interlaced.m2v", false, MFX_CODEC_MPEG2},
                                           DamageCase{"jpeg_420.mjpeg", false, MFX_CODEC_JPEG},
                                           DamageCase{"vc1_ap_720p_from_wmv.vc1", true, MFX_CODEC_VC1}),
                         [](const ::testing::TestParamInfo<DamageCase>& info) {
                             std::string name = info.param.name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

// Random bytes full of start codes and markers, then each codec's header prefix followed by
// random fields: the header search answers NONE or MORE_DATA and stays inside the buffer.
TEST(DamagedHeaderTest, RandomHeadersAreParsedSafely) {
    SdkSession session;
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    const std::vector<std::pair<mfxU32, std::vector<uint8_t>>> prefixes = {
        {MFX_CODEC_AVC, {0, 0, 1, 0x67}},  {MFX_CODEC_AVC, {0, 0, 1, 0x6F}},
        {MFX_CODEC_MPEG2, {0, 0, 1, 0xB3}}, {MFX_CODEC_VC1, {0, 0, 1, 0x0F}},
        {MFX_CODEC_JPEG, {0xFF, 0xD8, 0xFF, 0xC0}}};
    std::mt19937 random(11);
    for (int round = 0; round < 400; ++round) {
        for (const auto& [codec, prefix] : prefixes) {
            std::vector<uint8_t> bytes(prefix);
            size_t size = random() % 600;
            for (size_t i = 0; i < size; ++i) {
                uint32_t r = random();
                // Sprinkle the codes the parsers look for.
                if (r % 50 == 0) bytes.insert(bytes.end(), {0, 0, 1});
                else if (r % 50 == 1) bytes.push_back(0xFF);
                else bytes.push_back(static_cast<uint8_t>(r >> 8));
            }
            if (round % 2) bytes.insert(bytes.end(), {0, 0, 1, 0x68, 0xCE, 0, 0, 1, 0x65});
            mfxBitstream bs{};
            bs.Data = bytes.data();
            bs.DataLength = bs.MaxLength = static_cast<mfxU32>(bytes.size());
            bs.DataFlag = round % 3 ? 0 : MFX_BITSTREAM_EOS;
            mfxExtMVCSeqDesc desc{};
            desc.Header.BufferId = MFX_EXTBUFF_MVC_SEQ_DESC;
            desc.Header.BufferSz = sizeof desc;
            mfxExtBuffer* ext[] = {&desc.Header};
            mfxVideoParam par{};
            par.mfx.CodecId = codec;
            if (codec == MFX_CODEC_AVC) {
                par.ExtParam = ext;
                par.NumExtParam = 1;
            }
            mfxStatus status = MFXVideoDECODE_DecodeHeader(session, &bs, &par);
            EXPECT_TRUE(status == MFX_ERR_NONE || status == MFX_ERR_MORE_DATA ||
                        status == MFX_ERR_NOT_ENOUGH_BUFFER)
                << status;
            EXPECT_LE(bs.DataOffset + bs.DataLength, bytes.size());
        }
    }
}

// A hand-made H.264 sequence header, and what DecodeHeader must answer for it.
struct SpsCase {
    const char* name;
    std::vector<uint8_t> sps;
    mfxStatus expected;
};

// Runs each header followed by tail; a header that is taken must describe a 64x48 picture.
template <std::size_t N>
void ExpectSpsCases(const SpsCase (&cases)[N], std::initializer_list<uint8_t> tail, mfxU16 dataFlag) {
    SdkSession session;
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    for (const SpsCase& c : cases) {
        std::vector<uint8_t> bytes = c.sps;
        bytes.insert(bytes.end(), tail);
        mfxBitstream bs{};
        bs.Data = bytes.data();
        bs.DataLength = bs.MaxLength = static_cast<mfxU32>(bytes.size());
        bs.DataFlag = dataFlag;
        mfxVideoParam par{};
        par.mfx.CodecId = MFX_CODEC_AVC;
        EXPECT_EQ(MFXVideoDECODE_DecodeHeader(session, &bs, &par), c.expected) << c.name;
        if (c.expected == MFX_ERR_NONE) {
            EXPECT_EQ(par.mfx.FrameInfo.CropW, 64) << c.name;
            EXPECT_EQ(par.mfx.FrameInfo.CropH, 48) << c.name;
        }
    }
}

// An H.264 sequence header whose scaling list holds a delta outside -128..127 is damaged and
// is not taken for the stream's header; the largest delta Exp-Golomb can write must not
// overflow the running scale. The header is 64x48, High profile, with one scaling list whose
// first delta is the case's value and whose other deltas are zero.
TEST(DamagedHeaderTest, ScalingListDeltaOutsideItsRangeIsRefused) {
    const SpsCase cases[] = {
        {"delta 5", {0, 0, 0, 1, 0x67, 0x64, 0x00, 0x1E, 0xAD, 0x8A, 0xFF, 0xFE, 0x03, 0xA1, 0x1E, 0x40},
         MFX_ERR_NONE},
        {"delta 200",
         {0, 0, 0, 1, 0x67, 0x64, 0x00, 0x1E, 0xAD, 0x80, 0x64, 0x3F, 0xFF, 0x80, 0xE8, 0x47, 0x90},
         MFX_ERR_MORE_DATA},
        {"delta 2^31-1",
         {0, 0, 0, 1, 0x67, 0x64, 0x00, 0x1E, 0xAD, 0x80, 0x00, 0x00, 0x03, 0x00, 0xFF, 0xFF, 0xFF,
          0xFE, 0xFF, 0xFE, 0x03, 0xA1, 0x1E, 0x40},
         MFX_ERR_MORE_DATA},
    };
    ExpectSpsCases(cases, {0, 0, 0, 1, 0x68, 0xCE, 0x38, 0x80, 0, 0, 0, 1, 0x65, 0x88, 0x84}, 0);
}

// A picture size in macroblocks, or a pair of crop offsets, so large that multiplying or
// adding them wraps to a small value is damage, not a 16-pixel or uncropped picture. Baseline
// headers, 64x48 apart from the case's field.
TEST(DamagedHeaderTest, PictureSizeThatWrapsIsRefused) {
    const SpsCase cases[] = {
        {"64x48", {0, 0, 0, 1, 0x67, 0x42, 0x00, 0x1E, 0xF4, 0x23, 0xC8}, MFX_ERR_NONE},
        {"width 2^28+1 macroblocks",
         {0, 0, 0, 1, 0x67, 0x42, 0x00, 0x1E, 0xF4, 0x00, 0x00, 0x03, 0x00, 0x08, 0x00, 0x00, 0x03, 0x00, 0xBC,
          0x80},
         MFX_ERR_MORE_DATA},
        {"height 2^28+1 map units",
         {0, 0, 0, 1, 0x67, 0x42, 0x00, 0x1E, 0xF4, 0x20, 0x00, 0x00, 0x03, 0x00, 0x40, 0x00, 0x00, 0x07, 0x20},
         MFX_ERR_MORE_DATA},
        {"left and right crop 2^32-2 and 2",
         {0, 0, 0, 1, 0x67, 0x42, 0x00, 0x1E, 0xF4, 0x23, 0xE0, 0x00, 0x00, 0x03, 0x00, 0x3F, 0xFF, 0xFF, 0xFF,
          0xDE, 0x80},
         MFX_ERR_MORE_DATA},
    };
    ExpectSpsCases(cases, {0, 0, 0, 1, 0x68, 0xCE, 0x38, 0x80}, MFX_BITSTREAM_EOS);
}

}  // namespace
}  // namespace mfxsw_test
