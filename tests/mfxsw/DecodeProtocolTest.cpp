// The decoding protocol the plug-in's loop relies on: statuses, surface locking, draining,
// resets, surface counts, and the formats the runtime refuses instead of decoding wrongly.
#include "FfmpegReference.h"
#include "SdkDecodeLoop.h"
#include "SdkSession.h"
#include "TestMedia.h"

#include <mfxjpeg.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <vector>

namespace mfxsw_test {
namespace {

// A decoder set up on a whole file in memory, with system-memory surfaces.
class OpenDecoder {
public:
    // `adjust` changes the parameters, as an application may, before surfaces are made for them.
    OpenDecoder(const std::string& path, mfxU32 codec, mfxU16 surfaces = 4,
                const std::function<void(mfxVideoParam&)>& adjust = {}) {
        std::ifstream file(path, std::ios::binary);
        bytes_.assign(std::istreambuf_iterator<char>(file), {});
        bs.Data = bytes_.data();
        bs.DataLength = bs.MaxLength = static_cast<mfxU32>(bytes_.size());
        par.mfx.CodecId = codec;
        headerStatus = MFXVideoDECODE_DecodeHeader(session, &bs, &par);
        par.IOPattern = MFX_IOPATTERN_OUT_SYSTEM_MEMORY;
        par.AsyncDepth = surfaces;
        if (adjust) adjust(par);
        size_t pitch = (par.mfx.FrameInfo.Width + 31u) & ~31u;
        size_t rows = (par.mfx.FrameInfo.Height + 31u) & ~31u;
        memory_.resize(surfaces);
        this->surfaces.resize(surfaces);
        for (mfxU16 i = 0; i < surfaces; ++i) {
            memory_[i].resize(pitch * rows * 3 / 2);
            mfxFrameSurface1& s = this->surfaces[i];
            s.Info = par.mfx.FrameInfo;
            s.Data.Y = memory_[i].data();
            s.Data.UV = s.Data.Y + pitch * rows;
            s.Data.V = s.Data.UV + 1;
            s.Data.PitchLow = static_cast<mfxU16>(pitch);
        }
    }

    mfxStatus Init() { return MFXVideoDECODE_Init(session, &par); }

    // Decodes until the next picture (not synchronised) or a status other than MORE_DATA.
    mfxStatus Next(mfxFrameSurface1** out, mfxSyncPoint* sync, bool drain = false) {
        for (;;) {
            mfxFrameSurface1* work = nullptr;
            for (auto& s : surfaces)
                if (!s.Data.Locked) {
                    work = &s;
                    break;
                }
            if (!work) return MFX_ERR_NOT_ENOUGH_BUFFER;
            mfxStatus status =
                MFXVideoDECODE_DecodeFrameAsync(session, drain ? nullptr : &bs, work, out, sync);
            if (status == MFX_ERR_MORE_DATA && !drain) {
                drain = true;
                continue;
            }
            return status;
        }
    }

    SdkSession session;  // first in, last out: closing it unlocks surfaces
    std::vector<mfxFrameSurface1> surfaces;
    mfxBitstream bs{};
    mfxVideoParam par{};
    mfxStatus headerStatus;

private:
    std::vector<uint8_t> bytes_;
    std::vector<std::vector<uint8_t>> memory_;
};

TEST(DecodeProtocolTest, OutputSurfacesStayLockedUntilTheirSyncPointCompletes) {
    SdkDecodeLoop::Options options;
    DecodeRun run = SdkDecodeLoop::Run(Fixture("avc_progressive.264"), options);
    ASSERT_EQ(run.status, MFX_ERR_NONE) << "failed at " << run.failedAt;
    ASSERT_FALSE(run.pictures.empty());
    for (const auto& picture : run.pictures) {
        EXPECT_EQ(picture.lockedBeforeSync, 1);
        EXPECT_EQ(picture.lockedAfterSync, 0);
    }
}

TEST(DecodeProtocolTest, OneSurfacePerOperationInFlightIsEnough) {
    for (mfxU16 depth : {mfxU16{0}, mfxU16{1}, mfxU16{4}, mfxU16{9}}) {
        SCOPED_TRACE(depth);
        OpenDecoder decoder(Fixture("mpeg2_progressive.m2v"), MFX_CODEC_MPEG2);
        decoder.par.AsyncDepth = depth;
        mfxFrameAllocRequest request{};
        ASSERT_EQ(MFXVideoDECODE_QueryIOSurf(decoder.session, &decoder.par, &request), MFX_ERR_NONE);
        EXPECT_GE(request.NumFrameSuggested, depth);
        EXPECT_GE(request.NumFrameSuggested, request.NumFrameMin);
        EXPECT_GE(request.NumFrameMin, 1);
        EXPECT_EQ(request.Type, MFX_MEMTYPE_SYSTEM_MEMORY | MFX_MEMTYPE_FROM_DECODE |
                                    MFX_MEMTYPE_EXTERNAL_FRAME);
        EXPECT_EQ(request.Info.Width, decoder.par.mfx.FrameInfo.Width);
    }
    // A pool of exactly one surface decodes a stream with B-frames completely.
    SdkDecodeLoop::Options options;
    options.codec = MFX_CODEC_MPEG2;
    options.asyncDepth = 1;
    std::string path = Fixture("mpeg2_progressive.m2v");
    DecodeRun run = SdkDecodeLoop::Run(path, options);
    ASSERT_EQ(run.status, MFX_ERR_NONE) << "failed at " << run.failedAt;
    EXPECT_EQ(run.request.NumFrameSuggested, 1);
    EXPECT_EQ(run.pictures.size(), FfmpegReference::FrameMd5(path, "yuv420p").size());
}

TEST(DecodeProtocolTest, ALockedWorkSurfaceAsksForAnotherWithoutConsumingInput) {
    OpenDecoder decoder(Fixture("avc_progressive.264"), MFX_CODEC_AVC);
    ASSERT_EQ(decoder.Init(), MFX_ERR_NONE);
    mfxFrameSurface1& busy = decoder.surfaces[0];
    busy.Data.Locked = 1;
    mfxFrameSurface1* out = &busy;
    mfxSyncPoint sync = reinterpret_cast<mfxSyncPoint>(&busy);
    mfxU32 before = decoder.bs.DataOffset;
    EXPECT_EQ(MFXVideoDECODE_DecodeFrameAsync(decoder.session, &decoder.bs, &busy, &out, &sync),
              MFX_ERR_MORE_SURFACE);
    EXPECT_EQ(decoder.bs.DataOffset, before);
    EXPECT_EQ(out, nullptr);
    EXPECT_EQ(sync, nullptr);
    busy.Data.Locked = 0;
}

TEST(DecodeProtocolTest, CallsOutOfOrderAreRefused) {
    OpenDecoder decoder(Fixture("avc_progressive.264"), MFX_CODEC_AVC);
    mfxFrameSurface1* out = nullptr;
    mfxSyncPoint sync = nullptr;
    mfxVideoParam current{};
    EXPECT_EQ(MFXVideoDECODE_DecodeFrameAsync(decoder.session, &decoder.bs,
                                              &decoder.surfaces[0], &out, &sync),
              MFX_ERR_NOT_INITIALIZED);
    EXPECT_EQ(MFXVideoDECODE_GetVideoParam(decoder.session, &current), MFX_ERR_NOT_INITIALIZED);
    EXPECT_EQ(MFXVideoDECODE_Close(decoder.session), MFX_ERR_NOT_INITIALIZED);
    ASSERT_EQ(decoder.Init(), MFX_ERR_NONE);
    EXPECT_EQ(decoder.Init(), MFX_ERR_UNDEFINED_BEHAVIOR);
    ASSERT_EQ(MFXVideoDECODE_GetVideoParam(decoder.session, &current), MFX_ERR_NONE);
    EXPECT_EQ(current.mfx.FrameInfo.CropW, 320);
    EXPECT_EQ(MFXVideoDECODE_DecodeFrameAsync(decoder.session, &decoder.bs, &decoder.surfaces[0],
                                              nullptr, &sync),
              MFX_ERR_NULL_PTR);
    EXPECT_EQ(MFXVideoDECODE_Close(decoder.session), MFX_ERR_NONE);
    EXPECT_EQ(MFXVideoDECODE_Close(decoder.session), MFX_ERR_NOT_INITIALIZED);
}

TEST(DecodeProtocolTest, AWorkSurfaceSmallerThanThePicturesIsRefused) {
    OpenDecoder decoder(Fixture("avc_progressive.264"), MFX_CODEC_AVC);
    ASSERT_EQ(decoder.Init(), MFX_ERR_NONE);
    decoder.surfaces[0].Info.Height = 128;
    mfxFrameSurface1* out = nullptr;
    mfxSyncPoint sync = nullptr;
    EXPECT_EQ(MFXVideoDECODE_DecodeFrameAsync(decoder.session, &decoder.bs, &decoder.surfaces[0],
                                              &out, &sync),
              MFX_ERR_INVALID_VIDEO_PARAM);
}

TEST(DecodeProtocolTest, DrainingEndsWithMoreDataForever) {
    OpenDecoder decoder(Fixture("avc_progressive.264"), MFX_CODEC_AVC);
    ASSERT_EQ(decoder.Init(), MFX_ERR_NONE);
    mfxFrameSurface1* out = nullptr;
    mfxSyncPoint sync = nullptr;
    size_t pictures = 0;
    mfxStatus status;
    while ((status = decoder.Next(&out, &sync)) == MFX_ERR_NONE) {
        ASSERT_EQ(MFXVideoCORE_SyncOperation(decoder.session, sync, 1000), MFX_ERR_NONE);
        ++pictures;
    }
    EXPECT_EQ(status, MFX_ERR_MORE_DATA);
    EXPECT_EQ(pictures, 30u);
    EXPECT_EQ(decoder.Next(&out, &sync, true), MFX_ERR_MORE_DATA);
    EXPECT_EQ(decoder.Next(&out, &sync, true), MFX_ERR_MORE_DATA);
}

// Reset forgets the old stream and its pending outputs: surfaces held for unsynchronised
// pictures are free again, their sync points unknown, and decoding restarts cleanly.
TEST(DecodeProtocolTest, ResetReleasesHeldSurfacesAndRestartsTheStream) {
    OpenDecoder decoder(Fixture("avc_progressive.264"), MFX_CODEC_AVC);
    ASSERT_EQ(decoder.Init(), MFX_ERR_NONE);
    mfxFrameSurface1* out = nullptr;
    mfxSyncPoint sync = nullptr;
    ASSERT_EQ(decoder.Next(&out, &sync), MFX_ERR_NONE);
    std::vector<uint8_t> first = PackNv12(out->Info, out->Data);
    ASSERT_EQ(out->Data.Locked, 1);
    ASSERT_EQ(MFXVideoDECODE_Reset(decoder.session, &decoder.par), MFX_ERR_NONE);
    EXPECT_EQ(out->Data.Locked, 0);
    EXPECT_EQ(MFXVideoCORE_SyncOperation(decoder.session, sync, 1000), MFX_ERR_NOT_FOUND);

    decoder.bs.DataLength += decoder.bs.DataOffset;
    decoder.bs.DataOffset = 0;
    std::fill(out->Data.Y, out->Data.Y + 320, 0);
    ASSERT_EQ(decoder.Next(&out, &sync), MFX_ERR_NONE);
    ASSERT_EQ(MFXVideoCORE_SyncOperation(decoder.session, sync, 1000), MFX_ERR_NONE);
    EXPECT_EQ(PackNv12(out->Info, out->Data), first);
}

// The documented interlaced motion JPEG protocol: each buffer holds both fields of a frame and
// is marked complete, so every call returns that frame without waiting for more data.
TEST(DecodeProtocolTest, CompleteBuffersOfFieldPairsGiveOneFrameEach) {
    std::string path = Fixture("jpeg_fields.mjpeg");
    OpenDecoder decoder(path, MFX_CODEC_JPEG, 2, [](mfxVideoParam& par) {
        mfxFrameInfo& fi = par.mfx.FrameInfo;
        fi.PicStruct = MFX_PICSTRUCT_FIELD_TFF;
        fi.CropH = static_cast<mfxU16>(fi.CropH * 2);
        fi.Height = static_cast<mfxU16>((fi.CropH + 15) & ~15);
    });
    ASSERT_EQ(decoder.headerStatus, MFX_ERR_NONE);
    std::vector<uint8_t> stream(decoder.bs.Data, decoder.bs.Data + decoder.bs.DataLength);
    std::vector<size_t> starts;
    for (size_t i = 0; i + 2 < stream.size(); ++i)
        if (stream[i] == 0xFF && stream[i + 1] == 0xD8 && stream[i + 2] == 0xFF) starts.push_back(i);
    starts.push_back(stream.size());
    ASSERT_EQ(starts.size(), 13u);

    ASSERT_EQ(decoder.Init(), MFX_ERR_NONE);
    std::vector<std::string> expected =
        FfmpegReference::FrameMd5(path, "yuvj420p", "weave=first_field=top");
    ASSERT_EQ(expected.size(), 6u);
    for (size_t frame = 0; frame < 6; ++frame) {
        std::vector<uint8_t> pair(stream.begin() + starts[2 * frame],
                                  stream.begin() + starts[2 * frame + 2]);
        mfxBitstream bs{};
        bs.Data = pair.data();
        bs.DataLength = bs.MaxLength = static_cast<mfxU32>(pair.size());
        bs.DataFlag = MFX_BITSTREAM_COMPLETE_FRAME;
        mfxFrameSurface1* out = nullptr;
        mfxSyncPoint sync = nullptr;
        ASSERT_EQ(MFXVideoDECODE_DecodeFrameAsync(decoder.session, &bs, &decoder.surfaces[0], &out,
                                                  &sync),
                  MFX_ERR_NONE)
            << "frame " << frame;
        EXPECT_EQ(bs.DataLength, 0u);
        ASSERT_EQ(MFXVideoCORE_SyncOperation(decoder.session, sync, 1000), MFX_ERR_NONE);
        EXPECT_EQ(Md5Hex(PackNv12(out->Info, out->Data)), expected[frame]) << "frame " << frame;
    }
}

struct RefusedCase {
    const char* name;
    mfxU32 codec;
};

void PrintTo(const RefusedCase& c, std::ostream* os) { *os << c.name; }

class RefusedFormatTest : public ::testing::TestWithParam<RefusedCase> {};

// Pictures libavcodec cannot give as 8-bit 4:2:0 are described truthfully and then refused.
TEST_P(RefusedFormatTest, IsDescribedThenRefusedAtQueryAndInit) {
    OpenDecoder decoder(Fixture(GetParam().name), GetParam().codec);
    ASSERT_EQ(decoder.headerStatus, MFX_ERR_NONE);
    EXPECT_NE(decoder.par.mfx.FrameInfo.FourCC, static_cast<mfxU32>(MFX_FOURCC_NV12));
    mfxVideoParam out = decoder.par;
    EXPECT_EQ(MFXVideoDECODE_Query(decoder.session, &decoder.par, &out), MFX_ERR_UNSUPPORTED);
    EXPECT_EQ(out.mfx.FrameInfo.FourCC, 0u);
    EXPECT_EQ(decoder.Init(), MFX_ERR_UNSUPPORTED);
}

INSTANTIATE_TEST_SUITE_P(Formats, RefusedFormatTest,
                         ::testing::Values(RefusedCase{"avc_422.264", MFX_CODEC_AVC},
                                           RefusedCase{"avc_10bit.264", MFX_CODEC_AVC},
                                           RefusedCase{"mpeg2_422.m2v", MFX_CODEC_MPEG2}));

TEST(DecodeInitTest, RefusesWhatItCannotServe) {
    OpenDecoder jpeg(Fixture("jpeg_420.mjpeg"), MFX_CODEC_JPEG);
    ASSERT_EQ(jpeg.headerStatus, MFX_ERR_NONE);
    mfxVideoParam par = jpeg.par;
    par.IOPattern = MFX_IOPATTERN_OUT_VIDEO_MEMORY;  // no allocator to reach it
    EXPECT_EQ(MFXVideoDECODE_Init(jpeg.session, &par), MFX_ERR_INVALID_VIDEO_PARAM);
    par = jpeg.par;
    par.mfx.CodecId = MFX_CODEC_HEVC;
    EXPECT_EQ(MFXVideoDECODE_Init(jpeg.session, &par), MFX_ERR_UNSUPPORTED);
    par = jpeg.par;
    par.IOPattern = 0;
    EXPECT_EQ(MFXVideoDECODE_Init(jpeg.session, &par), MFX_ERR_INVALID_VIDEO_PARAM);
    EXPECT_EQ(jpeg.Init(), MFX_ERR_NONE);
}

TEST(DecodeQueryTest, ReportsWhatCanBeConfiguredAndZeroesWhatCannot) {
    SdkSession session;
    ASSERT_EQ(session.InitStatus(), MFX_ERR_NONE);
    mfxVideoParam out{};
    out.mfx.CodecId = MFX_CODEC_VC1;
    ASSERT_EQ(MFXVideoDECODE_Query(session, nullptr, &out), MFX_ERR_NONE);
    EXPECT_EQ(out.mfx.CodecId, static_cast<mfxU32>(MFX_CODEC_VC1));
    EXPECT_EQ(out.IOPattern, MFX_IOPATTERN_OUT_SYSTEM_MEMORY);
    EXPECT_NE(out.mfx.FrameInfo.Width, 0);

    mfxVideoParam in{};
    in.mfx.CodecId = MFX_CODEC_AVC;
    in.mfx.FrameInfo.FourCC = MFX_FOURCC_YV12;
    in.mfx.FrameInfo.Width = 320;
    in.IOPattern = MFX_IOPATTERN_OUT_SYSTEM_MEMORY;
    EXPECT_EQ(MFXVideoDECODE_Query(session, &in, &in), MFX_ERR_UNSUPPORTED);
    EXPECT_EQ(in.mfx.FrameInfo.FourCC, 0u);
    EXPECT_EQ(in.mfx.FrameInfo.Width, 320);
    in.mfx.FrameInfo.FourCC = MFX_FOURCC_NV12;
    EXPECT_EQ(MFXVideoDECODE_Query(session, &in, &in), MFX_ERR_NONE);
}

}  // namespace
}  // namespace mfxsw_test
