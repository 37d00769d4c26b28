// The plug-in as the host sees it: loaded from the build's bin folder and driven through its
// entry point with the host emulation.

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/Host.h"
#include "host/PluginDriver.h"
#include "host/PluginLibrary.h"
#include "TestFiles.h"

namespace {

const std::string kPlugin = std::string(QIVO_BIN_DIR) + "/libQIVOImport.so";

class ImportEntryTest : public ::testing::Test {
protected:
    void SetUp() override {
        library_ = host::PluginLibrary::Load(kPlugin);
        ASSERT_TRUE(library_.Loaded()) << library_.Error();
    }

    // After every clip is closed the host holds nothing of the plug-in's.
    void ExpectHostClean() {
        EXPECT_EQ(host_.Memory().LiveHandles(), 0u);
        EXPECT_EQ(host_.Memory().OutstandingLocks(), 0);
        EXPECT_EQ(host_.Memory().Faults(), 0);
        EXPECT_EQ(host_.Broker().Held(), 0);
    }

    host::Host host_;
    host::PluginLibrary library_;
    host::PluginDriver Driver() { return host::PluginDriver(host_, library_.Entry()); }
};

TEST_F(ImportEntryTest, SelectorTable) {
    // Requests that need no clip, each given records full of a pattern it must not touch.
    const struct {
        std::int32_t selector;
        std::int32_t result;
    } cases[] = {
        {1, 0},  {23, 0}, {24, 0}, {40, 0}, {41, 0}, {42, 0}, {43, 0},  {44, 0},
        {36, 101},
        {2, 3},  {3, 3},  {4, 3},  {5, 3},  {6, 3},  {7, 3},  {10, 3},  {11, 3},
        {15, 3}, {16, 3}, {17, 3}, {18, 3}, {19, 3}, {20, 3}, {21, 3},  {22, 3},
        {26, 3}, {28, 3}, {29, 3}, {30, 3}, {31, 3}, {32, 3}, {33, 3},  {34, 3},
        {35, 3}, {46, 3}, {48, 3}, {49, 3}, {50, 3}, {51, 3}, {54, 3},  {55, 3},
        {56, 3}, {57, 3}, {58, 3}, {59, 3}, {61, 3}, {62, 3}, {1000, 3}, {-1, 3},
        {INT32_MIN, 3},
        // Clip information, description, data rate, preferences, frames, audio and labels are
        // refused until clips can be decoded: nothing may claim success without the work.
        {12, 3}, {13, 3}, {25, 3}, {37, 3}, {38, 3}, {47, 3}, {60, 3},
    };
    auto driver = Driver();
    for (const auto& c : cases) {
        std::vector<unsigned char> one(1024, 0x3C), two(1024, 0x3C);
        const std::int32_t result = driver.Call(c.selector, reinterpret_cast<std::intptr_t>(one.data()),
                                                reinterpret_cast<std::intptr_t>(two.data()));
        EXPECT_EQ(result, c.result) << "selector " << c.selector;
        EXPECT_EQ(one, std::vector<unsigned char>(1024, 0x3C)) << "selector " << c.selector;
        EXPECT_EQ(two, std::vector<unsigned char>(1024, 0x3C)) << "selector " << c.selector;
    }
    ExpectHostClean();
}

TEST_F(ImportEntryTest, IndexRequestsBeyondTheSingleEntry) {
    auto driver = Driver();
    host::PixelFormatRecord pixel{};
    std::memset(&pixel, 0x3C, sizeof pixel);
    EXPECT_EQ(driver.Call(host::kSelPixelFormat, 1, reinterpret_cast<std::intptr_t>(&pixel)), 301);
    EXPECT_EQ(pixel.pixelFormat, 0x3C3C3C3Cu);

    host::FrameSizeRecord size{};
    std::memset(&size, 0x3C, sizeof size);
    size.index = 1;
    EXPECT_EQ(driver.Call(host::kSelFrameSize, reinterpret_cast<std::intptr_t>(&size), 0), 5);
    EXPECT_EQ(size.width, 0x3C3C3C3C);
    EXPECT_EQ(size.height, 0x3C3C3C3C);
}

TEST_F(ImportEntryTest, StartupAnswersByInterfaceVersion) {
    const int capabilities[] = {8, 12, 36, 40, 44, 48, 52, 64, 68};
    for (std::int32_t version : {5, 6, 7}) {
        host_.Params()->interfaceVersion = version;
        host::ImportInfoRecord info{};
        ASSERT_EQ(Driver().Startup(info), 0);
        const auto* bytes = reinterpret_cast<const unsigned char*>(&info);
        for (std::size_t i = 0; i < sizeof info; ++i) {
            bool capability = false;
            for (int at : capabilities) capability |= i >= static_cast<std::size_t>(at) && i < static_cast<std::size_t>(at) + 4;
            if (capability) {
                EXPECT_EQ(bytes[i], 0) << "version " << version << " byte " << i;
            } else if (i >= 72 && i < 76) {
                continue;
            } else {
                EXPECT_EQ(bytes[i], host::PluginDriver::kHostFill) << "version " << version << " byte " << i;
            }
        }
        EXPECT_EQ(info.version6Feature72, version >= 6 ? 1 : 0x5C5C5C5C) << "version " << version;
    }
}

TEST_F(ImportEntryTest, OneFileFormat) {
    auto driver = Driver();
    host::FileFormatRecord format{};
    ASSERT_EQ(driver.FileFormat(0, format), 0);
    EXPECT_EQ(format.fileType, 0x5149564Fu);  // 'QIVO', Q in the most significant byte
    EXPECT_EQ(format.flags8, 0);
    EXPECT_STREQ(format.formatName, "QIVO Import Descriptor");
    EXPECT_STREQ(format.shortName, "QIVO File");
    EXPECT_STREQ(format.extensions, "qivo");

    host::FileFormatRecord untouched;
    std::memset(&untouched, 0x3C, sizeof untouched);
    host::FileFormatRecord second = untouched;
    EXPECT_EQ(driver.Call(host::kSelFileFormat, 1, reinterpret_cast<std::intptr_t>(&second)), 301);
    EXPECT_EQ(std::memcmp(&second, &untouched, sizeof second), 0);
}

class ClipOpenTest : public ImportEntryTest {
protected:
    std::string Descriptor(const std::string& text) {
        const std::string path = dir_.File("clip.qivo");
        qivo_test::WriteFile(path, text);
        return path;
    }
    qivo_test::TempDir dir_;
};

TEST_F(ClipOpenTest, RawClipOpensCountsItsFramesAndCloses) {
    qivo_test::WriteRawClip(dir_.File("clip.yuv"), 64, 48, 7, 100);
    const std::string text = "[Video]\r\nfilename=clip.yuv\r\nwidth=64\r\nheight=48\r\nframe_rate=25\r\n";
    const std::string path = Descriptor(text);

    auto driver = Driver();
    host::ClipState clip;
    ASSERT_EQ(driver.Open(path, clip), 0);
    EXPECT_EQ(clip.fileType, 0x5149564Fu);
    EXPECT_NE(clip.file, host::kInvalidFileRef);
    EXPECT_NE(clip.privateData, nullptr);
    EXPECT_EQ(host_.Broker().Held(), 4);
    EXPECT_EQ(host_.Memory().OutstandingLocks(), 0);
    EXPECT_EQ(qivo_test::ReadFile(path), text + "num_frames=7\r\n");

    // The record's private data can be locked and unlocked on its own.
    host::PrivateDataRecord lockRecord{clip.privateData};
    EXPECT_EQ(driver.Call(host::kSelLockPrivate, 0, reinterpret_cast<std::intptr_t>(&lockRecord)), 0);
    EXPECT_EQ(driver.Call(host::kSelUnlockPrivate, 0, reinterpret_cast<std::intptr_t>(&lockRecord)), 0);
    EXPECT_EQ(host_.Memory().OutstandingLocks(), 0);

    EXPECT_EQ(driver.Close(clip), 0);
    EXPECT_EQ(clip.file, host::kInvalidFileRef);
    ExpectHostClean();
}

TEST_F(ClipOpenTest, AGivenFrameCountIsNotRecounted) {
    qivo_test::WriteRawClip(dir_.File("clip.yuv"), 64, 48, 7);
    const std::string text = "[Video]\nfilename=clip.yuv\nwidth=64\nheight=48\nframe_rate=25\nnum_frames=3\n";
    const std::string path = Descriptor(text);
    auto driver = Driver();
    host::ClipState clip;
    ASSERT_EQ(driver.Open(path, clip), 0);
    EXPECT_EQ(qivo_test::ReadFile(path), text);
    driver.Close(clip);
    ExpectHostClean();
}

TEST_F(ClipOpenTest, QuietThenOpenAgain) {
    qivo_test::WriteRawClip(dir_.File("clip.yuv"), 64, 48, 2);
    const std::string path = Descriptor("[Video]\nfilename=clip.yuv\nwidth=64\nheight=48\nframe_rate=25\nlog_file=clip.log\n");
    auto driver = Driver();
    host::ClipState clip;
    ASSERT_EQ(driver.Open(path, clip), 0);
    host::MemoryHandle record = clip.privateData;

    EXPECT_EQ(driver.Quiet(clip), 0);
    EXPECT_EQ(clip.file, host::kInvalidFileRef);
    EXPECT_TRUE(host_.Memory().Owns(record));

    // The descriptor is not read again: a changed one has no effect on the open clip.
    qivo_test::WriteFile(path, "[Video]\nfilename=elsewhere.yuv\n");
    ASSERT_EQ(driver.Open(path, clip), 0);
    EXPECT_EQ(clip.privateData, record);
    EXPECT_NE(clip.file, host::kInvalidFileRef);
    EXPECT_EQ(host_.Broker().Held(), 4);

    // Closing after a quiet quiets nothing twice and still tears the record down.
    EXPECT_EQ(driver.Quiet(clip), 0);
    EXPECT_EQ(driver.Close(clip), 0);
    ExpectHostClean();
}

TEST_F(ClipOpenTest, RefusedOpensKeepTheRecordForTheClose) {
    qivo_test::WriteRawClip(dir_.File("clip.yuv"), 64, 48, 2);
    const struct {
        const char* text;
        bool fileKept;  // the media file opened before the refusal
    } cases[] = {
        {"[Video]\nfilename=missing.yuv\nwidth=64\nheight=48\nframe_rate=25\n", false},
        {"[Video]\nwidth=64\nheight=48\nframe_rate=25\n", false},
        // A compressed clip needs the decoder.
        {"[Video]\nfilename=clip.yuv\ncodec=h264\nnum_frames=2\n", true},
        // Raw pictures without a size or a rate cannot be found in the file.
        {"[Video]\nfilename=clip.yuv\nframe_rate=25\n", true},
        {"[Video]\nfilename=clip.yuv\nwidth=64\nheight=48\n", true},
        {"[Video]\nfilename=clip.yuv\nwidth=64\nheight=48\nframe_rate=abc\n", true},
        // Audio cannot be delivered by this build.
        {"[Video]\nfilename=clip.yuv\nwidth=64\nheight=48\nframe_rate=25\n[Audio]\nfilename=a.pcm\n", true},
    };
    for (const auto& c : cases) {
        const std::string path = Descriptor(c.text);
        auto driver = Driver();
        host::ClipState clip;
        EXPECT_EQ(driver.Open(path, clip), host::kResultCannotOpen) << c.text;
        EXPECT_NE(clip.privateData, nullptr) << c.text;
        EXPECT_EQ(clip.file != host::kInvalidFileRef, c.fileKept) << c.text;
        EXPECT_EQ(host_.Memory().OutstandingLocks(), 0) << c.text;
        EXPECT_EQ(driver.Close(clip), 0);
        ExpectHostClean();
    }
}

TEST_F(ClipOpenTest, AHostWithoutSuitesGetsNoFrameRate) {
    qivo_test::WriteRawClip(dir_.File("clip.yuv"), 64, 48, 2);
    const std::string path = Descriptor("[Video]\nfilename=clip.yuv\nwidth=64\nheight=48\nframe_rate=25\n");
    host_.SetBrokerOffered(false);
    auto driver = Driver();
    host::ClipState clip;
    EXPECT_EQ(driver.Open(path, clip), host::kResultCannotOpen);
    EXPECT_EQ(driver.Close(clip), 0);
    ExpectHostClean();
}

TEST_F(ClipOpenTest, LogFileIsCreatedAtTheFirstOpen) {
    qivo_test::WriteRawClip(dir_.File("clip.yuv"), 64, 48, 2);
    qivo_test::WriteFile(dir_.File("clip.log"), "old contents");
    const std::string path = Descriptor("[Video]\nfilename=clip.yuv\nwidth=64\nheight=48\nframe_rate=25\nlog_file=clip.log\n");
    auto driver = Driver();
    host::ClipState clip;
    ASSERT_EQ(driver.Open(path, clip), 0);
    EXPECT_EQ(qivo_test::ReadFile(dir_.File("clip.log")), "");
    driver.Close(clip);
    ExpectHostClean();
}

// Transport streams of 12 pictures, made with ffmpeg at test time.
TEST_F(ClipOpenTest, FirstOpenCountsATransportStreamOnceAndStoresTheCount) {
    if (std::system("command -v ffmpeg >/dev/null 2>&1") != 0) GTEST_SKIP() << "ffmpeg not installed";
    const struct {
        const char* codec;
        const char* encoder;
    } cases[] = {{"mpeg2", "mpeg2video"}, {"h264", "libx264"}};
    for (const auto& c : cases) {
        const std::string ts = dir_.File(std::string(c.codec) + ".ts");
        const std::string make = std::string("ffmpeg -v error -y -f lavfi -i testsrc=size=160x120:rate=25 ") +
                                 "-frames:v 12 -c:v " + c.encoder + " -f mpegts '" + ts + "'";
        ASSERT_EQ(std::system(make.c_str()), 0) << make;

        const std::string text = std::string("[Video]\nfilename=") + c.codec + ".ts\ncodec=" + c.codec + "\ncontainer=TS\n";
        const std::string path = Descriptor(text);
        auto driver = Driver();
        host::ClipState clip;
        // Counted and stored even though this build cannot decode the clip.
        EXPECT_EQ(driver.Open(path, clip), host::kResultCannotOpen);
        driver.Close(clip);
        EXPECT_EQ(qivo_test::ReadFile(path), text + "num_frames=12\n") << c.codec;

        // A stored count is used as it stands: no second pass.
        const std::string stored = text + "num_frames=99\n";
        qivo_test::WriteFile(path, stored);
        host::ClipState again;
        EXPECT_EQ(driver.Open(path, again), host::kResultCannotOpen);
        driver.Close(again);
        EXPECT_EQ(qivo_test::ReadFile(path), stored) << c.codec;
        ExpectHostClean();
    }
}

}  // namespace
