#include "input/CMVCCombiner.h"

namespace qivo {

namespace {
constexpr int kAccessUnitDelimiter = 9;
constexpr int kEndOfSequence = 10;
constexpr int kEndOfStream = 11;
constexpr int kDependentViewDelimiter = 24;
}  // namespace

CMVCCombiner::~CMVCCombiner() {
    CloseSource();
    ClearFiles();
    ClearBlock();
}

void CMVCCombiner::ClearFiles() {
    fileNames_.clear();
    streamTypes_.clear();
    transportStream_ = false;
}

void CMVCCombiner::SetFiles(const char* base, const char* dependent) {
    ClearFiles();
    if (!base) return;
    fileNames_.emplace_back(base);
    if (dependent) fileNames_.emplace_back(dependent);
}

void CMVCCombiner::SetTsFiles(const char* base, const char* dependent) {
    ClearFiles();
    transportStream_ = true;
    if (!base) return;
    fileNames_.emplace_back(base);
    streamTypes_.push_back(kBaseViewStreamType);
    if (dependent) {
        fileNames_.emplace_back(dependent);
        streamTypes_.push_back(kDependentViewStreamType);
    }
}

int CMVCCombiner::NalType(const std::uint8_t* data, std::uint32_t size) {
    // Only the first bytes matter; emulation prevention bytes (00 00 03) are left out as they
    // would be from the whole unit.
    std::uint8_t bytes[5];
    std::uint32_t count = 0;
    int zeros = 0;
    for (std::uint32_t i = 0; i < size && count < sizeof bytes; ++i) {
        if (zeros >= 2 && data[i] == 3) {
            zeros = 0;
            continue;
        }
        zeros = data[i] == 0 ? zeros + 1 : 0;
        bytes[count++] = data[i];
    }
    std::uint32_t header = (count >= 3 && bytes[0] == 0 && bytes[1] == 0 && bytes[2] == 0) ? 4 : 3;
    if (count <= header) return 0;
    return bytes[header] & 0x1F;
}

int CMVCCombiner::NextHandedOut(MvcView& view) {
    for (;;) {
        if (!view.Next()) return -1;
        // End of sequence and end of stream would stop the decoder between the views.
        int type = NalType(view.nalData, view.nalSize);
        if (type != kEndOfSequence && type != kEndOfStream) return type;
    }
}

int CMVCCombiner::OpenSource() {
    CloseSource();
    views_.clear();
    for (std::size_t i = 0; i < fileNames_.size(); ++i) {
        views_.push_back(std::make_unique<MvcView>());
        MvcView& view = *views_.back();
        std::uint8_t type = i < streamTypes_.size() ? streamTypes_[i] : 0;
        if (!view.Open(fileNames_[i], transportStream_, type)) return 0;
        NextHandedOut(view);
    }
    currentView_ = 0;
    if (views_.empty()) return 0;
    Publish(*views_[0]);
    return 1;
}

int CMVCCombiner::Refill() {
    if (currentView_ >= views_.size()) return 0;
    MvcView& view = *views_[currentView_];
    if (view.ended) {
        ClearBlock();
        return 0;
    }
    int type = NextHandedOut(view);
    if (type < 0) type = currentView_ == 0 ? kAccessUnitDelimiter : kDependentViewDelimiter;
    bool switchView = (currentView_ == 0 && type == kAccessUnitDelimiter) ||
                      (currentView_ == 1 && type == kDependentViewDelimiter);
    if (switchView) {
        // The next view's delimiter was kept back when it last switched away; it opens that
        // view's access unit now.
        for (std::size_t i = 0; i < views_.size(); ++i) {
            currentView_ = (currentView_ + 1) % views_.size();
            if (!views_[currentView_]->ended) {
                Publish(*views_[currentView_]);
                return 1;
            }
        }
    } else if (!view.ended) {
        Publish(view);
        return 1;
    }
    ClearBlock();
    return 0;
}

int CMVCCombiner::CloseSource() {
    for (auto it = views_.rbegin(); it != views_.rend(); ++it) (*it)->Close();
    views_.clear();
    ClearBlock();
    return 1;
}

}  // namespace qivo
