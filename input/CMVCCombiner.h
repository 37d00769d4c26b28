#pragma once
// Merges the base view and an optional dependent view of an H.264 clip into one stream, one
// access unit of each in turn, handing out single NAL units as its blocks. A plain H.264 clip
// passes through as one view.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "input/CDataFeeder.h"
#include "input/MvcView.h"

namespace qivo {

class CMVCCombiner : public CDataFeeder {
public:
    static constexpr std::uint8_t kBaseViewStreamType = 27;
    static constexpr std::uint8_t kDependentViewStreamType = 32;

    CMVCCombiner() = default;
    ~CMVCCombiner() override;

    void ClearName() override { ClearFiles(); }
    virtual void ClearFiles();
    int OpenSource() override;
    int Refill() override;
    int CloseSource() override;
    // Elementary streams; dependent may be null.
    virtual void SetFiles(const char* base, const char* dependent);
    // Transport streams: the base view as stream type 27, the dependent view as 32.
    virtual void SetTsFiles(const char* base, const char* dependent);

    // The nal_unit_type of a unit that starts with its start code; 0 when it has no header byte.
    static int NalType(const std::uint8_t* data, std::uint32_t size);

private:
    // Moves the view to its next unit that is handed out at all; the unit's type, or -1 when
    // the view has ended.
    static int NextHandedOut(MvcView& view);
    void Publish(const MvcView& view) { PublishBlock(view.nalData, view.nalSize); }

    std::vector<std::string> fileNames_;
    std::vector<std::uint8_t> streamTypes_;
    bool transportStream_ = false;
    std::vector<std::unique_ptr<MvcView>> views_;
    std::size_t currentView_ = 0;
};

}  // namespace qivo
