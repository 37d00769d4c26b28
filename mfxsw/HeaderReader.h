#pragma once
// DecodeHeader: finds the sequence header of the codec in the bitstream, moves the bitstream
// to it without consuming it, and describes the stream in the application's parameters.
#include "StreamHeader.h"

#include <mfxvideo.h>
#include <mfxmvc.h>

#include <cstddef>

namespace mfxsw {

class HeaderReader {
public:
    static bool SupportedCodec(mfxU32 codecId);

    static mfxStatus DecodeHeader(mfxBitstream& bs, mfxVideoParam& par);

    // Writes the picture description of `header` into the frame information and codec fields;
    // leaves IOPattern, AsyncDepth and the extension buffers to the application.
    static void FillVideoParam(mfxU32 codecId, const StreamHeader& header, mfxVideoParam& par);

    // Two-step MVC description: counts first (MFX_ERR_NOT_ENOUGH_BUFFER while the arrays are
    // missing or short), then views, view ids and operation points.
    static mfxStatus FillMvcSeqDesc(const HeaderSearch& search, mfxExtMVCSeqDesc& desc);

private:
    static HeaderSearch Search(mfxU32 codecId, const mfxU8* data, size_t size, bool eos,
                               bool wantMvc);
};

}  // namespace mfxsw
