#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>

#include "InputTestSupport.h"
#include "input/CTSDemuxFeeder.h"
#include "input/PayloadOutput.h"
#include "platform/PipeServer.h"

namespace qivo {
namespace {

using test::Bytes;
using test::TsPacketBuilder;

constexpr std::uint16_t kPmtPid = 0x1000;
constexpr std::uint16_t kVideoPid = 0x100;
constexpr std::uint8_t kAvc = 27;

std::int64_t FfprobeFrames(const std::string& ts) {
    std::ifstream in(ts + ".frames");
    std::int64_t n = -1;
    in >> n;
    return n;
}

struct FfmpegCase {
    const char* file;
    std::uint8_t streamType;
};

class FfmpegTransportStream : public ::testing::TestWithParam<FfmpegCase> {};

// The published bytes are exactly the elementary stream ffmpeg extracts, and the PES count is
// ffprobe's frame count, both when read into memory and in the importer's discarding pass.
TEST_P(FfmpegTransportStream, PublishesTheElementaryStreamAndCountsItsFrames) {
    std::string path = test::MediaPath(GetParam().file);
    CTSDemuxFeeder feeder;
    feeder.SetTsStream(path, GetParam().streamType);
    ASSERT_TRUE(feeder.Start());
    Bytes published = test::Drain(feeder);
    feeder.Stop();
    EXPECT_EQ(published, test::ReadFile(path + ".es"));
    EXPECT_EQ(feeder.countedFrames, FfprobeFrames(path));

    feeder.countedFrames = -1;
    ASSERT_TRUE(feeder.Start());
    std::uint64_t skipped = 0;
    std::uint32_t got = 0;
    while (feeder.Read(nullptr, 1048576, &got)) skipped += got;
    feeder.Stop();
    EXPECT_EQ(skipped, published.size());
    EXPECT_EQ(feeder.countedFrames, FfprobeFrames(path));
}

INSTANTIATE_TEST_SUITE_P(Ffmpeg, FfmpegTransportStream,
                         ::testing::Values(FfmpegCase{"h264_188.ts", 27}, FfmpegCase{"h264_192.m2ts", 27},
                                           FfmpegCase{"mpeg2_188.ts", 2}, FfmpegCase{"mpeg2_192.m2ts", 2}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             for (char& c : name)
                                 if (c == '.') c = '_';
                             return name;
                         });

// A pipe delivers the stream in pieces that do not line up with packets.
TEST(CTSDemuxFeeder, ReadsATransportStreamFromAPipe) {
    std::string path = test::MediaPath("h264_192.m2ts");
    Bytes file = test::ReadFile(path);
    std::string pipe = "\\\\.\\pipe\\qivo-input-ts-" + std::to_string(::getpid());
    platform::PipeServer server = platform::PipeServer::Create(pipe, 4096);
    ASSERT_TRUE(server.Valid());
    std::thread writer([&] {
        platform::FileHandle connection = server.Connect();
        for (std::size_t at = 0; at < file.size(); at += 1001)
            if (!connection.WriteAll(file.data() + at, std::min<std::size_t>(1001, file.size() - at))) break;
    });
    CTSDemuxFeeder feeder;
    feeder.SetTsStream(pipe, 27);
    bool started = feeder.Start();
    Bytes published = started ? test::Drain(feeder) : Bytes{};
    feeder.Stop();
    writer.join();
    ASSERT_TRUE(started);
    EXPECT_EQ(published, test::ReadFile(path + ".es"));
    EXPECT_EQ(feeder.countedFrames, FfprobeFrames(path));
}

// Records the blocks the output hands over.
class RecordingFeeder : public CTSDemuxFeeder {
public:
    void PutPayload(const std::uint8_t* bytes, std::uint32_t count) override {
        sizes.push_back(count);
        CTSDemuxFeeder::PutPayload(bytes, count);
    }
    std::vector<std::uint32_t> sizes;
};

TEST(CTSDemuxFeeder, PublishesFullBlocksOfTheBlockSizeAndAShorterLastOne) {
    RecordingFeeder feeder;
    feeder.SetTsStream(test::MediaPath("mpeg2_188.ts"), 2);
    feeder.SetBlockSize(65536);
    ASSERT_TRUE(feeder.Start());
    Bytes published = test::Drain(feeder, 1000);
    feeder.Stop();
    ASSERT_GE(feeder.sizes.size(), 2u);
    for (std::size_t i = 0; i + 1 < feeder.sizes.size(); ++i) EXPECT_EQ(feeder.sizes[i], 65536u);
    EXPECT_EQ(published.size(), 65536u * (feeder.sizes.size() - 1) + feeder.sizes.back());
}

TEST(CTSDemuxFeeder, FileWithoutTheWantedTypeStartsButYieldsNothing) {
    CTSDemuxFeeder feeder;
    feeder.SetTsStream(test::MediaPath("h264_188.ts"), 2);
    ASSERT_TRUE(feeder.Start());
    std::uint8_t byte = 0;
    EXPECT_FALSE(feeder.Read(&byte, 1, nullptr));
    feeder.Stop();
    EXPECT_EQ(feeder.countedFrames, 0);
}

TEST(CTSDemuxFeeder, StartFailsWithoutNameOrFile) {
    CTSDemuxFeeder feeder;
    EXPECT_FALSE(feeder.Start());
    feeder.SetTsStream(test::TempPath("missing.ts"), kAvc);
    EXPECT_FALSE(feeder.Start());
    feeder.Stop();
    EXPECT_EQ(feeder.countedFrames, 0);
}

// An output that has no buffer (it was never attached, or no buffer could be had for it)
// refuses the write instead of spinning on an empty buffer or writing through a null pointer.
TEST(PayloadOutput, WithoutABufferRefusesWrites) {
    PayloadOutput output;
    const std::uint8_t data[10] = {};
    EXPECT_FALSE(output.Write(data, sizeof data));
    output.Flush();
    EXPECT_FALSE(output.Attached());
}

// --- Hand-made streams -----------------------------------------------------------------------

Bytes Frame(int i, std::size_t size) {
    Bytes f(size);
    for (std::size_t k = 0; k < size; ++k) f[k] = static_cast<std::uint8_t>(i * 31 + k * 7 + 1);
    return f;
}

void Tables(TsPacketBuilder& b, std::size_t pmtInfo = 0,
            std::vector<std::pair<std::uint8_t, std::uint16_t>> streams = {{kAvc, kVideoPid}}) {
    b.Table(0, TsPacketBuilder::PatSection({{1, kPmtPid}}));
    b.Table(kPmtPid, TsPacketBuilder::PmtSection(1, streams, pmtInfo));
}

struct Expectation {
    Bytes file;
    bool starts = true;
    Bytes elementary;
    std::int64_t frames = 0;
};

Expectation Clean(int count = 5, std::size_t size = 900) {
    Expectation e;
    TsPacketBuilder b;
    Tables(b);
    for (int i = 0; i < count; ++i) {
        Bytes f = Frame(i, size);
        b.Pes(kVideoPid, f);
        e.elementary.insert(e.elementary.end(), f.begin(), f.end());
    }
    e.file = b.bytes;
    e.frames = count;
    return e;
}

// Corrupts packet `index` (counting from 0) of a clean stream of 10 PES of 1,000 bytes. The
// tables take packets 0 and 1, each PES 6 packets; packet 44 is the first of the eighth PES,
// so 7,000 payload bytes were gathered and one 4,096-byte block handed over before it.
Expectation Damaged(std::size_t index, std::size_t offset, std::uint8_t value, std::size_t keptBytes,
                    std::int64_t frames) {
    Expectation e = Clean(10, 1000);
    e.file[index * 188 + offset] = value;
    e.elementary.resize(keptBytes);
    e.frames = frames;
    e.starts = keptBytes > 0;
    return e;
}

struct HandMadeCase {
    const char* name;
    Expectation (*make)();
};

class HandMadeStream : public ::testing::TestWithParam<HandMadeCase> {};

TEST_P(HandMadeStream, EndsWhereItShouldWithItsFrames) {
    Expectation e = GetParam().make();
    std::string path = test::TempPath(std::string(GetParam().name) + ".ts");
    test::WriteFile(path, e.file);
    CTSDemuxFeeder feeder;
    feeder.SetTsStream(path, kAvc);
    ASSERT_EQ(feeder.Start() != 0, e.starts);
    Bytes published = test::Drain(feeder, 777);
    std::uint8_t byte = 0;
    EXPECT_FALSE(feeder.Read(&byte, 1, nullptr)) << "the stream stays ended";
    feeder.Stop();
    EXPECT_EQ(published, e.elementary);
    EXPECT_EQ(feeder.countedFrames, e.frames);
}

const HandMadeCase kHandMade[] = {
    {"clean", [] { return Clean(); }},
    {"clean_m2ts",
     [] {
         Expectation e = Clean();
         e.file = test::ToM2ts(e.file);
         return e;
     }},
    {"pes_header_split_over_two_packets",
     [] {
         // The first packet's adaptation field leaves room for 3 header bytes only.
         Expectation e;
         TsPacketBuilder b;
         Tables(b);
         for (int i = 0; i < 4; ++i) {
             Bytes f = Frame(i, 500);
             b.Pes(kVideoPid, f, i % 2 ? 180 : 178, 20);
             e.elementary.insert(e.elementary.end(), f.begin(), f.end());
         }
         e.file = test::ToM2ts(b.bytes);
         e.frames = 4;
         return e;
     }},
    {"pmt_over_two_packets",
     [] {
         Expectation e = Clean();
         TsPacketBuilder b;
         Tables(b, 250);
         e.file.erase(e.file.begin(), e.file.begin() + 2 * 188);
         e.file.insert(e.file.begin(), b.bytes.begin(), b.bytes.end());
         return e;
     }},
    {"pat_over_two_packets",
     [] {
         Expectation e = Clean();
         std::vector<std::pair<std::uint16_t, std::uint16_t>> programs;
         for (std::uint16_t p = 2; p < 60; ++p) programs.emplace_back(p, static_cast<std::uint16_t>(0x1100 + p));
         programs.emplace_back(1, kPmtPid);
         TsPacketBuilder b;
         b.Table(0, TsPacketBuilder::PatSection(programs));
         e.file.erase(e.file.begin(), e.file.begin() + 188);
         e.file.insert(e.file.begin(), b.bytes.begin(), b.bytes.end());
         return e;
     }},
    {"pmt_over_three_packets_overflows",
     [] {
         // 421 bytes: within the 512-byte section buffer, but the third packet's payload is
         // appended whole and no longer fits.
         Expectation e;
         TsPacketBuilder b;
         Tables(b, 400);
         b.Pes(kVideoPid, Frame(0, 900));
         e.file = b.bytes;
         e.starts = false;
         return e;
     }},
    {"video_before_the_tables_is_dropped",
     [] {
         TsPacketBuilder early;
         early.Pes(kVideoPid, Frame(9, 500));  // three packets
         Expectation e;
         TsPacketBuilder b;
         b.bytes.assign(early.bytes.begin(), early.bytes.begin() + 2 * 188);
         Tables(b);
         b.bytes.insert(b.bytes.end(), early.bytes.begin() + 2 * 188, early.bytes.end());  // orphaned tail
         for (int i = 0; i < 3; ++i) {
             Bytes f = Frame(i, 700);
             b.Pes(kVideoPid, f);
             e.elementary.insert(e.elementary.end(), f.begin(), f.end());
         }
         e.file = b.bytes;
         e.frames = 3;
         return e;
     }},
    {"no_pat",
     [] {
         Expectation e = Clean();
         e.file.erase(e.file.begin(), e.file.begin() + 188);
         e.elementary.clear();
         e.frames = 0;
         return e;
     }},
    {"two_streams_of_the_wanted_type",
     [] {
         // The PMT lists 0x102 first: its stream is published and counted, although 0x101 has
         // the lower PID.
         Expectation e;
         TsPacketBuilder b;
         Tables(b, 0, {{kAvc, 0x102}, {kAvc, 0x101}});
         for (int i = 0; i < 5; ++i) {
             Bytes f = Frame(i, 400);
             b.Pes(0x102, f);
             e.elementary.insert(e.elementary.end(), f.begin(), f.end());
             if (i < 3) b.Pes(0x101, Frame(50 + i, 300));
         }
         e.file = b.bytes;
         e.frames = 5;
         return e;
     }},
    {"fifth_byte_0x47_in_a_188_byte_file",
     [] {
         Expectation e = Clean();
         TsPacketBuilder b;
         b.Packet(0x1FFF, false, {0x47});
         e.file.insert(e.file.begin(), b.bytes.begin(), b.bytes.end());
         e.starts = false;
         e.elementary.clear();
         e.frames = 0;
         return e;
     }},
    {"table_continuation_without_a_start",
     [] {
         Expectation e = Clean();
         e.file[1] &= static_cast<std::uint8_t>(~0x40);
         e.starts = false;
         e.elementary.clear();
         e.frames = 0;
         return e;
     }},
    {"lost_sync_in_the_middle", [] { return Damaged(44, 0, 0x46, 4096, 7); }},
    {"transport_error_in_the_middle", [] { return Damaged(44, 1, 0x81, 4096, 7); }},
    {"adaptation_field_past_the_packet",
     [] {
         Expectation e = Damaged(44, 3, 0x30, 4096, 7);  // adaptation field and payload
         e.file[44 * 188 + 4] = 183;
         return e;
     }},
    {"pes_start_code_damaged",
     [] {
         Expectation e = Damaged(44, 0, 0x47, 4096, 7);
         e.file[44 * 188 + 4 + 2] = 0x02;  // 00 00 02 instead of 00 00 01
         return e;
     }},
    {"damage_before_the_first_block", [] { return Damaged(8, 1, 0x81, 0, 1); }},
    {"last_packet_cut_short",
     [] {
         Expectation e = Clean(4, 900);
         TsPacketBuilder b;
         b.Pes(kVideoPid, Frame(7, 100));
         e.file.insert(e.file.end(), b.bytes.begin(), b.bytes.end() - 100);
         return e;
     }},
};

INSTANTIATE_TEST_SUITE_P(Cases, HandMadeStream, ::testing::ValuesIn(kHandMade),
                         [](const auto& info) { return std::string(info.param.name); });

// Every single-byte change of a small stream ends or passes the stream without a crash or an
// access outside a buffer (the sanitizer build checks the latter).
TEST(CTSDemuxFeeder, SurvivesEveryCorruptedByteOfASmallStream) {
    Expectation e = Clean(3, 400);
    Bytes m2ts = test::ToM2ts(e.file);
    std::string path = test::TempPath("mutated.ts");
    for (const Bytes* original : {&e.file, &m2ts}) {
        for (std::size_t at = 0; at < original->size(); at += 3) {
            for (std::uint8_t value : {std::uint8_t{0x00}, std::uint8_t{0xFF}, std::uint8_t{0x47}}) {
                Bytes file = *original;
                file[at] = value;
                test::WriteFile(path, file);
                CTSDemuxFeeder feeder;
                feeder.SetTsStream(path, kAvc);
                if (feeder.Start()) {
                    Bytes published = test::Drain(feeder, 500);
                    EXPECT_LE(published.size(), file.size());
                }
                feeder.Stop();
                EXPECT_GE(feeder.countedFrames, 0);
            }
        }
    }
}

}  // namespace
}  // namespace qivo
