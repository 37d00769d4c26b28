// The elementary-stream path as the pipeline drives it: the reader tops a decoder buffer up
// until the input ends. H.264 goes through the stereo combiner and its NAL scanners, with the
// input split into a base and a dependent view when asked; the other codecs through a file or
// transport stream feeder. The first byte chooses codec, container and split.
#include <memory>
#include <vector>

#include <mfxstructures.h>
#include <mfxjpeg.h>

#include "FuzzFile.h"
#include "input/CSmplBitstreamReader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    static const mfxU32 kCodecs[] = {MFX_CODEC_AVC, MFX_CODEC_MPEG2, MFX_CODEC_VC1, MFX_CODEC_JPEG};
    std::uint8_t control = data[0];
    mfxU32 codec = kCodecs[control & 3];
    bool transport = (control & 4) != 0;
    bool twoViews = codec == MFX_CODEC_AVC && (control & 8) != 0;
    std::size_t split = twoViews ? (static_cast<std::size_t>(data[1]) * (size - 2)) / 255 : size - 2;
    data += 2;
    size -= 2;

    std::vector<std::unique_ptr<qivo_fuzz::FuzzFile>> files;
    files.push_back(std::make_unique<qivo_fuzz::FuzzFile>(data, split));
    if (twoViews) files.push_back(std::make_unique<qivo_fuzz::FuzzFile>(data + split, size - split));
    std::vector<std::string> names;
    for (const auto& f : files) {
        if (f->path().empty()) return 0;
        names.push_back(f->path());
    }

    qivo::CSmplBitstreamReader reader([] { return static_cast<qivo::CEnvironment*>(nullptr); });
    reader.SetCodec(codec);
    if (reader.Init(names, transport) != MFX_ERR_NONE) return 0;
    // A decoder buffer that the reader fills, of which the decoder takes part each time.
    std::vector<mfxU8> buffer(1024 + (control >> 4) * 4096);
    mfxBitstream bs{};
    bs.Data = buffer.data();
    bs.MaxLength = static_cast<mfxU32>(buffer.size());
    for (int rounds = 0; rounds < 1 << 20; ++rounds) {
        mfxStatus status = reader.ReadBitstream(&bs);
        if (status == MFX_ERR_MORE_DATA) {
            if (bs.DataLength == 0) break;
            bs.DataOffset = 0;
            bs.DataLength = 0;
        } else if (status != MFX_ERR_NONE) {
            break;
        } else {
            mfxU32 take = bs.DataLength / 2 + 1;
            bs.DataOffset += take;
            bs.DataLength -= take;
        }
    }
    reader.Close();
    return 0;
}
