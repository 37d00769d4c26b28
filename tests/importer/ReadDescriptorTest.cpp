#include <gtest/gtest.h>

#include <mfxstructures.h>

#include <memory>
#include <string>

#include "host/Host.h"
#include "host/HostTime.h"
#include "importer/ClipRecord.h"
#include "importer/ReadDescriptor.h"
#include "platform/Utf.h"
#include "TestFiles.h"

using qivo::ClipRecord;
using qivo::ReadDescriptor;
using qivo_test::TempDir;
using qivo_test::WriteFile;

namespace {

constexpr std::int64_t kT = host::kTicksPerSecond;

// A zero-filled record as the clip open makes it, with the host's time suite and a fresh frame
// source, read from a descriptor with the given text.
class Clip {
public:
    Clip(const std::string& descriptorPath, const std::string& text) {
        WriteFile(descriptorPath, text);
        Read(descriptorPath);
    }
    explicit Clip(const std::string& descriptorPath) { Read(descriptorPath); }

    ClipRecord& operator*() { return *record_; }
    ClipRecord* operator->() { return record_; }
    qivo::SourceSettings& Settings() { return record_->frameSource->settings; }
    std::string Path(const char16_t (&field)[qivo::kPathCapacity]) const {
        return platform::FromHostText(field, qivo::kPathCapacity);
    }
    ~Clip() { std::destroy_at(record_); }

private:
    void Read(const std::string& descriptorPath) {
        record_ = new (storage_) ClipRecord();
        timeSuite_ = {&TicksPerSecond, nullptr};
        record_->timeSuite = &timeSuite_;
        record_->frameSource = std::make_unique<qivo::FrameSource>();
        platform::ToHostText(descriptorPath, record_->descriptorPath, qivo::kPathCapacity);
        EXPECT_EQ(ReadDescriptor(*record_), 0);
    }
    static std::int32_t TicksPerSecond(std::int64_t* ticks) {
        *ticks = kT;
        return host::kSuiteSuccess;
    }

    alignas(ClipRecord) unsigned char storage_[ClipRecord::kHandleSize] = {};
    ClipRecord* record_ = nullptr;
    host::TimeSuite timeSuite_{};
};

class ReadDescriptorTest : public ::testing::Test {
protected:
    std::string Descriptor() const { return dir_.File("clip.qivo"); }
    TempDir dir_;
};

TEST_F(ReadDescriptorTest, FilenameAndCodecAloneGiveTheDefaults) {
    Clip clip(Descriptor(), "[Video]\nfilename=clip.264\ncodec=h264\n");
    const qivo::SourceSettings& s = clip.Settings();
    EXPECT_EQ(s.impl, static_cast<mfxIMPL>(MFX_IMPL_AUTO_ANY));
    EXPECT_EQ(s.memoryType, qivo::kMemorySystem);
    EXPECT_EQ(s.asyncDepth, 4);
    EXPECT_EQ(s.codec, static_cast<std::uint32_t>(MFX_CODEC_AVC));
    EXPECT_EQ(s.mvcFlags, 0);
    EXPECT_EQ(s.outputFourCC, static_cast<std::uint32_t>(MFX_FOURCC_YV12));
    EXPECT_TRUE(s.outputEnabled);
    EXPECT_EQ(s.viewCount, 1u);
    EXPECT_FALSE(s.isTransportStream);
    EXPECT_EQ(s.writerFlags, 0);
    EXPECT_EQ(s.layout, qivo::kLayoutNone);
    ASSERT_EQ(s.inputFiles.size(), 1u);
    EXPECT_EQ(s.inputFiles[0], dir_.File("clip.264"));
    EXPECT_EQ(clip.Path(clip->videoPath), dir_.File("clip.264"));
    EXPECT_EQ(s.cacheSize, 1);
    EXPECT_EQ(s.frameCount, 0);
    EXPECT_TRUE(s.reload);
    EXPECT_EQ(clip->fieldType, qivo::kProgressive);
    EXPECT_EQ(clip->parNum, 1);
    EXPECT_EQ(clip->parDen, 1);
    EXPECT_EQ(clip->frameCount, 0);
    EXPECT_EQ(clip->width, 0);
    EXPECT_EQ(clip->height, 0);
    EXPECT_EQ(clip->ticksPerFrame, 0);
    EXPECT_EQ(clip.Path(clip->logPath), "");
    EXPECT_EQ(clip.Path(clip->audioPath), "");
    EXPECT_EQ(clip.Path(clip->dependentPath), "");
    EXPECT_EQ(clip->audioContainer, qivo::kAudioRawPcm);
    EXPECT_FALSE(clip->bigEndian);
}

TEST_F(ReadDescriptorTest, AMissingDescriptorReadsAsEmpty) {
    Clip clip(dir_.File("absent.qivo"));
    EXPECT_TRUE(clip.Settings().inputFiles.empty());
    EXPECT_EQ(clip.Settings().codec, 0u);
    EXPECT_EQ(clip.Settings().cacheSize, 1);
    EXPECT_EQ(clip.Path(clip->videoPath), "");
}

TEST_F(ReadDescriptorTest, EveryKeyReachesItsField) {
    Clip clip(Descriptor(),
              "[video]\nPLATFORM=SW\nmemory=d3d11\nasync=7\nfilename=a.ts\nlog_file=a.log\n"
              "codec=MPEG2\nwidth=720\nheight=576\nframe_rate=25\nfield_type=bff\nPAR=16:15\n"
              "container=m2ts\ncache=5\nnum_frames=250\nreload=0\n"
              "[AUDIO]\nfilename=a.pcm\ncontainer=ts\nsample_rate=48000\nnum_channels=6\n"
              "bit_depth=24\nendian=BIG\n");
    const qivo::SourceSettings& s = clip.Settings();
    EXPECT_EQ(s.impl, static_cast<mfxIMPL>(MFX_IMPL_SOFTWARE));
    EXPECT_EQ(s.memoryType, qivo::kMemoryD3D11);
    EXPECT_EQ(s.asyncDepth, 7);
    EXPECT_EQ(s.codec, static_cast<std::uint32_t>(MFX_CODEC_MPEG2));
    EXPECT_EQ(clip->width, 720);
    EXPECT_EQ(clip->height, 576);
    EXPECT_EQ(clip->ticksPerFrame, kT / 25);
    EXPECT_EQ(clip->fieldType, qivo::kBottomFieldFirst);
    EXPECT_EQ(clip->parNum, 16);
    EXPECT_EQ(clip->parDen, 15);
    EXPECT_TRUE(s.isTransportStream);
    EXPECT_EQ(s.cacheSize, 5);
    EXPECT_EQ(s.frameCount, 250);
    EXPECT_EQ(clip->frameCount, 250);
    EXPECT_FALSE(s.reload);
    EXPECT_EQ(clip.Path(clip->logPath), dir_.File("a.log"));
    EXPECT_EQ(clip.Path(clip->audioPath), dir_.File("a.pcm"));
    EXPECT_EQ(clip->audioContainer, qivo::kAudioTsLpcm);
    EXPECT_EQ(clip->sampleRate, 48000);
    EXPECT_EQ(clip->channelCount, 6);
    EXPECT_EQ(clip->bitDepth, 24);
    EXPECT_TRUE(clip->bigEndian);
}

struct WordCase {
    const char* key;
    const char* value;
    int expected;
};

TEST_F(ReadDescriptorTest, WordsSelectTheirSettings) {
    const WordCase cases[] = {
        {"platform", "hw", MFX_IMPL_HARDWARE_ANY},
        {"platform", "gpu", MFX_IMPL_AUTO_ANY},
        {"memory", "d3d", 1},
        {"memory", "D3D9", 1},
        {"memory", "video", 0},
        {"codec", "vc1", MFX_CODEC_VC1},
        {"codec", "JPEG", MFX_CODEC_JPEG},
        {"codec", "hevc", 0},
        {"field_type", "tff", 1},
        {"field_type", "interlaced", 0},
        {"container", "MTS", 1},
        {"container", "ps", 0},
        {"reload", "yes", 0},
        {"reload", "TRUE", 1},
        {"reload", "2", 1},
    };
    for (const WordCase& c : cases) {
        Clip clip(Descriptor(), std::string("[Video]\n") + c.key + "=" + c.value + "\n");
        const qivo::SourceSettings& s = clip.Settings();
        const std::string key = c.key;
        const long actual = key == "platform"     ? static_cast<long>(s.impl)
                            : key == "memory"     ? static_cast<long>(s.memoryType)
                            : key == "codec"      ? static_cast<long>(s.codec)
                            : key == "field_type" ? static_cast<long>(clip->fieldType)
                            : key == "container"  ? static_cast<long>(s.isTransportStream)
                                                  : static_cast<long>(s.reload);
        EXPECT_EQ(actual, c.expected) << c.key << "=" << c.value;
    }
}

TEST(TicksPerFrameTest, FrameRateRule) {
    const struct {
        const char* text;
        std::int64_t ticks;
    } cases[] = {
        {"30000/1001", kT * 1001 / 30000},
        {"25", kT / 25},
        {"25/0", kT / 25},
        {"0/1", 0},
        {"abc", 0},
        {"0", 0},
        {"", 0},
        {"24000/1001", 10594584000},
        {"50/2", kT / 25},
        {" 25/1", kT / 25},
        {"25/x", kT / 25},
        // No frame duration for these rather than an undefined or negative one.
        {"-25", 0},
        {"nan", 0},
        {"inf", 0},
        {"1e-300", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(qivo::TicksPerFrameFor(c.text, kT), c.ticks) << c.text;
}

TEST_F(ReadDescriptorTest, FrameRateComesFromTheHostsTimeBase) {
    Clip clip(Descriptor(), "[Video]\nframe_rate=30000/1001\n");
    EXPECT_EQ(clip->ticksPerFrame, 8475667200);
}

TEST_F(ReadDescriptorTest, ParRule) {
    const struct {
        const char* text;
        int num, den;
    } cases[] = {
        {"16:11", 16, 11}, {"0:1", 1, 1}, {"16", 1, 1},         {"x", 1, 1},
        {"4:0", 1, 1},     {"-4:3", 1, 1}, {"99999999999:1", 1, 1}, {"40:33", 40, 33},
    };
    for (const auto& c : cases) {
        Clip clip(Descriptor(), std::string("[Video]\nPAR=") + c.text + "\n");
        EXPECT_EQ(clip->parNum, c.num) << c.text;
        EXPECT_EQ(clip->parDen, c.den) << c.text;
    }
}

TEST_F(ReadDescriptorTest, CacheIsAtLeastOne) {
    const struct {
        const char* text;
        int cache;
    } cases[] = {{"0", 1}, {"1", 1}, {"8", 8}, {"-5", 1}, {"x", 1}};
    for (const auto& c : cases) {
        Clip clip(Descriptor(), std::string("[Video]\ncache=") + c.text + "\n");
        EXPECT_EQ(clip.Settings().cacheSize, c.cache) << c.text;
    }
}

TEST_F(ReadDescriptorTest, StereoLayoutAndSwap) {
    const struct {
        const char* lines;
        int layout;
        int writerFlags;
        unsigned views;
    } cases[] = {
        {"codec=mvc\nlayout=left\n", 4, 2, 2},
        {"codec=mvc\nlayout=left\nswapLR=1\n", 4, 10, 2},
        {"codec=mvc\nswapLR=true\n", 0, 0, 2},
        {"codec=mvc\nlayout=SBS\n", 1, 1, 2},
        {"codec=mvc\nlayout=tab\nswapLR=TRUE\n", 2, 10, 2},
        {"codec=mvc\nlayout=l\nswapLR=0\n", 4, 2, 2},
        {"codec=mvc\nlayout=r\n", 8, 2, 2},
        {"codec=mvc\nlayout=Right\nswapLR=yes\n", 8, 2, 2},
        {"codec=mvc\nlayout=diagonal\nswapLR=1\n", 0, 0, 2},
        // Layout and swap belong to stereo clips only.
        {"codec=h264\nlayout=sbs\nswapLR=1\n", 0, 0, 1},
    };
    for (const auto& c : cases) {
        Clip clip(Descriptor(), std::string("[Video]\n") + c.lines);
        const qivo::SourceSettings& s = clip.Settings();
        EXPECT_EQ(s.layout, c.layout) << c.lines;
        EXPECT_EQ(s.writerFlags, c.writerFlags) << c.lines;
        EXPECT_EQ(s.viewCount, c.views) << c.lines;
        EXPECT_EQ(s.mvcFlags, c.views == 2 ? qivo::kMvcStereo : 0) << c.lines;
        EXPECT_EQ(s.codec, static_cast<std::uint32_t>(MFX_CODEC_AVC)) << c.lines;
    }
}

TEST_F(ReadDescriptorTest, DependentViewOnlyForStereoClips) {
    {
        Clip clip(Descriptor(), "[Video]\ncodec=h264\nfilename=base.264\nfilename_dep=dep.264\n");
        ASSERT_EQ(clip.Settings().inputFiles.size(), 1u);
        EXPECT_EQ(clip.Settings().inputFiles[0], dir_.File("base.264"));
    }
    {
        Clip clip(Descriptor(), "[Video]\ncodec=mvc\nfilename=base.264\nfilename_dep=dep.264\n");
        ASSERT_EQ(clip.Settings().inputFiles.size(), 2u);
        EXPECT_EQ(clip.Settings().inputFiles[0], dir_.File("base.264"));
        EXPECT_EQ(clip.Settings().inputFiles[1], dir_.File("dep.264"));
        EXPECT_EQ(clip.Path(clip->dependentPath), dir_.File("dep.264"));
    }
}

TEST_F(ReadDescriptorTest, CrlfAndUtf16DescriptorsReadAlike) {
    const std::string lf = "[Video]\nfilename=Bild\xC3\xA4.264\ncodec=mvc\nlayout=tab\nframe_rate=25\ncache=8\n";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    const std::u16string wide = platform::Utf8ToUtf16(crlf);

    for (const std::string& bytes : {lf, crlf, qivo_test::Utf16LeWithBom(wide)}) {
        Clip clip(Descriptor(), bytes);
        ASSERT_EQ(clip.Settings().inputFiles.size(), 1u);
        EXPECT_EQ(clip.Settings().inputFiles[0], dir_.File("Bild\xC3\xA4.264"));
        EXPECT_EQ(clip.Settings().layout, qivo::kLayoutTopBottom);
        EXPECT_EQ(clip.Settings().cacheSize, 8);
        EXPECT_EQ(clip->ticksPerFrame, kT / 25);
    }
}

TEST(ResolveFileNameTest, BareNamesLieNextToTheDescriptor) {
    const struct {
        const char* descriptor;
        const char* value;
        const char* resolved;
    } cases[] = {
        {"/media/clips/a.qivo", "clip.264", "/media/clips/clip.264"},
        {"/media/clips/a.qivo", "sub\\clip.264", "sub\\clip.264"},
        {"/media/clips/a.qivo", "D:\\media\\clip.264", "D:\\media\\clip.264"},
        {"/media/clips/a.qivo", "sub/clip.264", "sub/clip.264"},
        {"/media/clips/a.qivo", "\\\\.\\pipe\\clip", "\\\\.\\pipe\\clip"},
        {"/media/clips/a.qivo", "", ""},
        {"C:\\clips\\a.qivo", "clip.264", "C:\\clips\\clip.264"},
        {"C:\\clips/sub\\a.qivo", "clip.264", "C:\\clips/sub\\clip.264"},
        {"C:\\clips\\sub/a.qivo", "clip.264", "C:\\clips\\sub/clip.264"},
        {"a.qivo", "clip.264", "clip.264"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(qivo::ResolveFileName(c.descriptor, c.value), c.resolved) << c.descriptor << " + " << c.value;
    }
}

TEST_F(ReadDescriptorTest, ANameThatDoesNotFitIsRefusedNotCut) {
    // A folder long enough that the bare name no longer fits 259 characters beside it.
    std::string folder = dir_.Path();
    while (folder.size() < 230) folder = folder + "/" + std::string(40, 'd');
    folder.resize(230);
    std::system(("mkdir -p '" + folder + "'").c_str());
    const std::string descriptor = folder + "/c.qivo";
    ASSERT_LT(descriptor.size(), 260u);

    Clip clip(descriptor, "[Video]\nfilename=" + std::string(40, 'v') + ".264\nlog_file=short.log\n");
    EXPECT_EQ(clip.Path(clip->videoPath), "");
    EXPECT_TRUE(clip.Settings().inputFiles.empty());
    EXPECT_EQ(clip.Path(clip->logPath), folder + "/short.log");

    // The same name in a short folder is used.
    Clip shortClip(Descriptor(), "[Video]\nfilename=" + std::string(40, 'v') + ".264\n");
    EXPECT_EQ(shortClip.Path(shortClip->videoPath), dir_.File(std::string(40, 'v') + ".264"));
}

TEST_F(ReadDescriptorTest, FrameCountIsWrittenBackAndNothingElseChanges) {
    const std::string text = "; clip\r\n[Video]\r\nfilename=x.yuv\r\nnum_frames=0\r\n\r\n[Audio]\r\nsample_rate=48000\r\n";
    Clip clip(Descriptor(), text);
    ASSERT_TRUE(qivo::WriteFrameCount(*clip, 1234));
    std::string expected = text;
    expected.replace(expected.find("num_frames=0"), 12, "num_frames=1234");
    EXPECT_EQ(qivo_test::ReadFile(Descriptor()), expected);

    Clip again(Descriptor());
    EXPECT_EQ(again->frameCount, 1234);
}

}  // namespace
