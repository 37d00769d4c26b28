#include "input/TsDemuxer.h"

namespace qivo {

namespace {
constexpr std::uint8_t kSyncByte = 0x47;
constexpr std::uint16_t kNullPid = 0x1FFF;
constexpr std::uint16_t kPatPid = 0;
constexpr std::uint32_t kCrcSize = 4;

std::uint16_t Pid13(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(((p[0] & 0x1F) << 8) | p[1]);
}
std::uint32_t Length12(const std::uint8_t* p) {
    return (static_cast<std::uint32_t>(p[0] & 0x0F) << 8) | p[1];
}
}  // namespace

TsDemuxer::TsDemuxer(CTSDemuxFeeder* target, std::int32_t blockSize, std::uint8_t wantedType)
    : blockSize_(blockSize), wantedType_(wantedType), target_(target) {}

TsStream& TsDemuxer::StreamFor(std::uint16_t pid) {
    if (pid != lastPid_ || !lastStream_) {
        lastStream_ = &streams_[pid];  // map nodes never move, so the pointer stays good
        lastPid_ = pid;
    }
    return *lastStream_;
}

int TsDemuxer::ParsePacket(const std::uint8_t* packet) {
    const std::uint8_t* p = mode192_ ? packet + 4 : packet;
    if (p[0] != kSyncByte) return -1;
    if (p[1] & 0x80) return -2;  // transport_error_indicator
    std::uint16_t pid = Pid13(p + 1);
    std::uint8_t adaptation = (p[3] >> 4) & 0x03;
    if (pid == kNullPid || !(adaptation & 0x01)) return 0;
    std::uint32_t start = 4;
    if (adaptation & 0x02) start = 5 + p[4];
    if (start >= kPacketSize) return -3;
    const std::uint8_t* data = p + start;
    std::uint32_t size = kPacketSize - start;
    bool unitStart = (p[1] & 0x40) != 0;

    TsStream& stream = StreamFor(pid);
    if (pid == kPatPid || (stream.program != TsStream::kNoProgram && stream.type == TsStream::kNoType)) {
        const std::uint8_t* section = nullptr;
        std::uint32_t length = 0;
        int r = stream.TakeSection(data, size, unitStart, &section, &length);
        if (r != 0 || !section) return r;
        return pid == kPatPid ? ParsePat(section, length) : ParsePmt(section, length);
    }
    if (stream.type != TsStream::kNoType) return stream.TakePes(data, size, unitStart);
    return 0;  // no table has described this PID yet
}

int TsDemuxer::ParsePat(const std::uint8_t* data, std::uint32_t length) {
    // transport_stream_id, version, section numbers
    if (length < 5) return -10;
    if (length < 5 + kCrcSize || (length - 5 - kCrcSize) % 4 != 0) return -11;
    const std::uint8_t* entry = data + 5;
    const std::uint8_t* end = data + length - kCrcSize;
    for (; entry < end; entry += 4) {
        if ((entry[2] & 0xE0) != 0xE0) return -12;
        TsStream& stream = StreamFor(Pid13(entry + 2));
        stream.program = static_cast<std::uint16_t>((entry[0] << 8) | entry[1]);
        stream.type = TsStream::kNoType;
    }
    return 0;
}

int TsDemuxer::ParsePmt(const std::uint8_t* data, std::uint32_t length) {
    // program number, version, section numbers, PCR PID
    if (length < 7) return -13;
    std::uint16_t program = static_cast<std::uint16_t>((data[0] << 8) | data[1]);
    if (length < kCrcSize) return -14;
    std::uint32_t crc = length - kCrcSize;
    std::uint32_t pos = 7;
    if (pos + 2 > crc) return -14;
    pos += 2 + Length12(data + pos);
    // A program without elementary streams ends right at the CRC; only going past it is damage.
    if (pos > crc) return -14;
    while (pos < crc) {
        if (crc - pos < 5) return -15;
        std::uint8_t type = data[pos];
        if ((data[pos + 1] & 0xE0) != 0xE0) return -16;
        std::uint16_t pid = Pid13(data + pos + 1);
        std::uint32_t infoLength = Length12(data + pos + 3);
        pos += 5 + infoLength;
        TsStream& stream = StreamFor(pid);
        if (stream.program != program || stream.type != type) {
            stream.program = program;
            stream.type = type;
            if (!stream.output.Attached() && type == wantedType_ && !attached_) {
                attached_ = true;
                attachedPid_ = pid;
                // A failed attach leaves the output refusing writes; the first payload then
                // ends the stream.
                stream.output.Attach(target_, blockSize_);
            }
        }
    }
    if (pos != crc) return -18;
    return 0;
}

void TsDemuxer::Flush() {
    for (auto& [pid, stream] : streams_) stream.output.Flush();
}

std::int64_t TsDemuxer::CountedFrames() const {
    if (!attached_) return 0;
    auto it = streams_.find(attachedPid_);
    return it == streams_.end() ? 0 : static_cast<std::int64_t>(it->second.pesCount);
}

}  // namespace qivo
