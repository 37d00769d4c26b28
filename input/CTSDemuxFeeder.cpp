#include "input/CTSDemuxFeeder.h"

#include <cstring>

namespace qivo {

namespace {
constexpr std::uint8_t kSyncByte = 0x47;
constexpr std::uint32_t kM2tsPrefix = 4;
}  // namespace

CTSDemuxFeeder::~CTSDemuxFeeder() {
    demuxer_.reset();
    fileReader_.Close();
    ClearBlock();
}

void CTSDemuxFeeder::SetTsStream(const char* name, std::uint8_t streamType) {
    SetFileName(name);
    wantedType_ = streamType;
}

int CTSDemuxFeeder::OpenSource() {
    if (!FileName()) return 0;
    demuxer_ = std::make_unique<TsDemuxer>(this, BlockSize(), wantedType_);
    packetSize_ = 0;
    if (!fileReader_.Open(*FileName(), BlockSize())) return 0;
    return Refill();
}

int CTSDemuxFeeder::Refill() {
    if (!demuxer_) return 0;
    published_ = false;
    ClearBlock();
    while (!published_) {
        if (packetSize_ != 0) {
            if (fileReader_.Read(packet_.data(), packetSize_) < packetSize_) break;
        } else {
            if (fileReader_.Read(packet_.data(), TsDemuxer::kPacketSize) < TsDemuxer::kPacketSize) break;
            bool first = packet_[0] == kSyncByte;
            bool fifth = packet_[kM2tsPrefix] == kSyncByte;
            if (first && !fifth) {
                packetSize_ = TsDemuxer::kPacketSize;
                demuxer_->SetMode192(false);
            } else if (!first && fifth) {
                if (fileReader_.Read(packet_.data() + TsDemuxer::kPacketSize, kM2tsPrefix) < kM2tsPrefix) break;
                packetSize_ = TsDemuxer::kPacketSize + kM2tsPrefix;
                demuxer_->SetMode192(true);
            } else {
                return 0;  // not recognisable as either packet size
            }
        }
        // Damage ends the stream at this packet; there is no resynchronisation.
        if (demuxer_->ParsePacket(packet_.data()) != 0) return 0;
    }
    if (!published_) demuxer_->Flush();
    return 1;
}

int CTSDemuxFeeder::CloseSource() {
    if (!demuxer_) return 0;
    fileReader_.Close();
    countedFrames = demuxer_->CountedFrames();
    demuxer_.reset();
    std::lock_guard<std::mutex> guard(Lock());
    PublishBlockLocked(nullptr, 0);
    std::vector<std::uint8_t>().swap(payloadBlock_);
    return 1;
}

void CTSDemuxFeeder::PutPayload(const std::uint8_t* bytes, std::uint32_t count) {
    std::lock_guard<std::mutex> guard(Lock());
    payloadBlock_.resize(count ? count : 1);
    if (bytes && count)
        std::memcpy(payloadBlock_.data(), bytes, count);
    else
        std::memset(payloadBlock_.data(), 0, payloadBlock_.size());
    PublishBlockLocked(payloadBlock_.data(), count);
    published_ = true;
}

}  // namespace qivo
