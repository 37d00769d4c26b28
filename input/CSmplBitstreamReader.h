#pragma once
// Tops the decoder's input buffer up with raw bytes of the clip's compressed video: H.264
// through the MVC combiner, MPEG-2, VC-1 and JPEG through a file feeder or, in a transport
// stream, through the demultiplexer for the codec's stream type.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <mfxstructures.h>

#include "common/CEnvironment.h"
#include "input/CDataFeeder.h"
#include "input/CMVCCombiner.h"

namespace qivo {

class CSmplBitstreamReader {
public:
    // Where the clip's current message sink is found; it may hold none. Not owned.
    using EnvironmentSource = std::function<CEnvironment*()>;

    static constexpr std::uint32_t kBlockSize = 65536;

    explicit CSmplBitstreamReader(EnvironmentSource environment);
    CSmplBitstreamReader(const CSmplBitstreamReader&) = delete;
    CSmplBitstreamReader& operator=(const CSmplBitstreamReader&) = delete;
    virtual ~CSmplBitstreamReader();

    // File names: the base-view (or only) file first, for MVC the dependent view second;
    // further names are ignored.
    virtual mfxStatus Init(std::vector<std::string> fileNames, bool transportStream);
    // MFX_ERR_NONE when bytes were appended after the unread ones, MFX_ERR_MORE_DATA at the end
    // of the input (or when the buffer has no room left).
    virtual mfxStatus ReadBitstream(mfxBitstream* bitstream);
    virtual void Close();

    // Set by the pipeline before Init: MFX_CODEC_MPEG2, MFX_CODEC_AVC, MFX_CODEC_VC1 or
    // MFX_CODEC_JPEG.
    void SetCodec(mfxU32 codec) { codec_ = codec; }
    mfxU32 Codec() const { return codec_; }
    bool Initialised() const { return initialised_; }

private:
    CEnvironment* Environment() const { return environment_ ? environment_() : nullptr; }
    CDataFeeder* ActiveSource() const;
    void StopSource();

    EnvironmentSource environment_;
    bool initialised_ = false;
    mfxU32 codec_ = 0;
    bool transportStream_ = false;
    std::unique_ptr<CDataFeeder> feeder_;
    std::unique_ptr<CMVCCombiner> combiner_;
};

}  // namespace qivo
