#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "host/FrameBuffer.h"
#include "host/Host.h"
#include "host/HostTime.h"

namespace {

TEST(HostTimeTest, StandardRatesAreWholeTickCounts) {
    const struct {
        std::int32_t code;
        std::int64_t num, den;
    } rates[] = {{1, 24000, 1001}, {2, 24, 1}, {3, 25, 1}, {4, 30000, 1001},
                 {5, 30, 1},       {6, 50, 1}, {7, 60000, 1001}, {8, 60, 1}};
    for (const auto& r : rates) {
        const auto ticks = host::TicksPerFrame(r.code);
        ASSERT_TRUE(ticks) << r.code;
        EXPECT_EQ(*ticks * r.num, host::kTicksPerSecond * r.den) << r.code;
    }
    EXPECT_FALSE(host::TicksPerFrame(0));
    EXPECT_FALSE(host::TicksPerFrame(9));
}

TEST(FrameBufferTest, EveryPitchIsWiderThanItsRowAndAMultipleOf64) {
    for (std::int32_t width : {2, 62, 63, 64, 128, 320, 720, 1920}) {
        host::FrameBuffer frame(host::kPixelFormatYV12, width, 6);
        for (int plane = 0; plane < 3; ++plane) {
            EXPECT_GT(frame.Pitch(plane), static_cast<std::uint32_t>(frame.RowBytes(plane))) << width;
            EXPECT_EQ(frame.Pitch(plane) % 64, 0u) << width;
        }
        EXPECT_EQ(frame.RowBytes(1), (width + 1) / 2);
        EXPECT_EQ(frame.Rows(2), 3);
        EXPECT_EQ(frame.Plane(0)[0], host::FrameBuffer::kUnwritten);
    }
}

class HostTest : public ::testing::Test {
protected:
    host::Host host_;
    host::HostFunctionTables& Functions() { return *host_.Params()->functions; }
    template <typename Suite>
    const Suite* Acquire(const char* name, std::int32_t version) {
        const void* suite = nullptr;
        EXPECT_EQ(Functions().utility->getBasicSuite()->AcquireSuite(name, version, &suite), host::kSuiteSuccess);
        return static_cast<const Suite*>(suite);
    }
};

TEST_F(HostTest, MemoryHandlesAreNotClearedAndMisuseIsCounted) {
    host::MemoryFuncs& memory = *Functions().memory;
    host::MemoryHandle handle = memory.newHandle(2744);
    ASSERT_NE(handle, nullptr);
    auto* bytes = static_cast<unsigned char*>(memory.lockHandle(handle));
    ASSERT_NE(bytes, nullptr);
    EXPECT_EQ(bytes[0], host::HostMemory::kFreshByte);
    EXPECT_EQ(bytes[2743], host::HostMemory::kFreshByte);
    EXPECT_EQ(host_.Memory().OutstandingLocks(), 1);
    memory.unlockHandle(handle);
    EXPECT_EQ(host_.Memory().Faults(), 0);

    memory.unlockHandle(handle);  // not locked
    EXPECT_EQ(host_.Memory().Faults(), 1);
    memory.lockHandle(handle);
    memory.disposeHandle(handle);  // still locked
    EXPECT_EQ(host_.Memory().Faults(), 2);
    EXPECT_EQ(memory.lockHandle(handle), nullptr);  // gone
    EXPECT_EQ(host_.Memory().Faults(), 3);
    EXPECT_EQ(host_.Memory().LiveHandles(), 0u);
    EXPECT_EQ(memory.newHandle(-1), nullptr);
}

TEST_F(HostTest, BrokerHandsOutTheFourSuitesByNameAndVersion) {
    host::BasicSuite& broker = *Functions().utility->getBasicSuite();
    const void* suite = nullptr;
    EXPECT_EQ(broker.AcquireSuite(host::kPPix2SuiteName, 1, &suite), host::kSuiteUnknownSuite);
    EXPECT_EQ(suite, nullptr);
    EXPECT_EQ(broker.AcquireSuite("Premiere Unknown Suite", 1, &suite), host::kSuiteUnknownSuite);

    EXPECT_NE(Acquire<host::PPixCreatorSuite>(host::kPPixCreatorSuiteName, 1), nullptr);
    EXPECT_NE(Acquire<host::PPix2Suite>(host::kPPix2SuiteName, 3), nullptr);
    EXPECT_NE(Acquire<host::TimeSuite>(host::kTimeSuiteName, 1), nullptr);
    EXPECT_NE(Acquire<host::StringSuite>(host::kStringSuiteName, 1), nullptr);
    EXPECT_EQ(host_.Broker().Held(), 4);
    EXPECT_EQ(broker.ReleaseSuite(host::kTimeSuiteName, 1), host::kSuiteSuccess);
    EXPECT_EQ(broker.ReleaseSuite(host::kTimeSuiteName, 1), host::kSuiteUnknownSuite);  // not held
    EXPECT_EQ(host_.Broker().Held(), 3);
}

TEST_F(HostTest, FrameBuffersAreMadeInPlanarFormatsOnly) {
    const auto* creator = Acquire<host::PPixCreatorSuite>(host::kPPixCreatorSuiteName, 1);
    const auto* planar = Acquire<host::PPix2Suite>(host::kPPix2SuiteName, 3);
    host::PPixHandle frame = nullptr;
    const host::BoundsRect bounds{0, 0, 320, 240};
    ASSERT_EQ(creator->CreatePPix(&frame, host::kAccessReadWrite, host::kPixelFormatYVI7, &bounds), host::kSuiteSuccess);

    char *y, *u, *v;
    std::uint32_t yPitch, uPitch, vPitch;
    ASSERT_EQ(planar->GetYUV420PlanarBuffers(frame, host::kAccessReadWrite, &y, &yPitch, &u, &uPitch, &v, &vPitch),
              host::kSuiteSuccess);
    EXPECT_EQ(yPitch, 384u);
    EXPECT_EQ(uPitch, 192u);
    EXPECT_EQ(vPitch, 192u);
    host::FrameBuffer* buffer = host_.Frame(frame);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->Width(), 320);
    EXPECT_EQ(buffer->Height(), 240);
    EXPECT_EQ(y, buffer->Plane(0));
    EXPECT_EQ(v, buffer->Plane(2));

    host::PPixHandle refused = nullptr;
    const host::BoundsRect empty{0, 0, 0, 240};
    const host::BoundsRect huge{0, 0, 100000, 100000};
    EXPECT_NE(creator->CreatePPix(&refused, host::kAccessReadWrite, host::HostFourCC('b', 'g', 'r', 'a'), &bounds), 0);
    EXPECT_NE(creator->CreatePPix(&refused, host::kAccessReadWrite, host::kPixelFormatYV12, &empty), 0);
    EXPECT_NE(creator->CreatePPix(&refused, host::kAccessReadWrite, host::kPixelFormatYV12, &huge), 0);
    EXPECT_EQ(refused, nullptr);
    EXPECT_EQ(host_.LiveFrames(), 1u);
}

TEST_F(HostTest, StringsAndTime) {
    const auto* strings = Acquire<host::StringSuite>(host::kStringSuiteName, 1);
    host::HostString label{};
    ASSERT_EQ(strings->AllocateFromUTF8(reinterpret_cast<const std::uint8_t*>("ADBE.Stereoscopic.Left"), &label),
              host::kSuiteSuccess);
    EXPECT_EQ(host_.Text(label), "ADBE.Stereoscopic.Left");

    const auto* time = Acquire<host::TimeSuite>(host::kTimeSuiteName, 1);
    std::int64_t ticks = 0;
    ASSERT_EQ(time->GetTicksPerSecond(&ticks), host::kSuiteSuccess);
    EXPECT_EQ(ticks, 254016000000);
    ASSERT_EQ(time->GetTicksPerVideoFrame(host::kRate2997, &ticks), host::kSuiteSuccess);
    EXPECT_EQ(ticks, 8475667200);
    ticks = -7;
    EXPECT_NE(time->GetTicksPerVideoFrame(9, &ticks), host::kSuiteSuccess);
    EXPECT_EQ(ticks, -7);
}

}  // namespace
