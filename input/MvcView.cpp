#include "input/MvcView.h"

#include "input/CTSDemuxFeeder.h"

namespace qivo {

bool MvcView::Open(const std::string& fileName, bool transportStream, std::uint8_t streamType) {
    nalData = nullptr;
    nalOffset = 0;
    nalSize = 0;
    ended = true;
    if (transportStream) {
        auto ts = std::make_unique<CTSDemuxFeeder>();
        ts->SetTsStream(fileName, streamType);
        feeder = std::move(ts);
    } else {
        feeder = std::make_unique<CFileFeeder>();
        feeder->SetFileName(fileName);
    }
    scanner = std::make_unique<NalScanner>(feeder.get());
    if (!scanner->Allocated()) return false;
    if (!feeder->Start()) return false;
    scanner->Reset();
    if (!scanner->FillBuffer(false)) return false;
    ended = false;
    return true;
}

bool MvcView::Next() {
    if (ended) return false;
    scanner->Advance(nalSize);
    nalSize = 0;
    nalData = nullptr;
    if (scanner->NextNal(&nalOffset, &nalData, &nalSize) != 0) {
        nalData = nullptr;
        nalSize = 0;
        ended = true;
        return false;
    }
    return true;
}

void MvcView::Close() {
    if (feeder) feeder->Stop();
    scanner.reset();
    feeder.reset();
    nalData = nullptr;
    nalSize = 0;
    ended = true;
}

}  // namespace qivo
