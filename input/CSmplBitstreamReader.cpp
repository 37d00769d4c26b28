#include "input/CSmplBitstreamReader.h"

#include <cstring>

#include "common/ErrorReport.h"
#include "input/CFileFeeder.h"
#include "input/CTSDemuxFeeder.h"

namespace qivo {

namespace {
constexpr std::uint8_t kMpeg2StreamType = 2;
constexpr std::uint8_t kVc1StreamType = 234;
constexpr int kLocationInitEmptyName = 1225;
constexpr int kLocationReadNotInitialised = 1301;
}  // namespace

CSmplBitstreamReader::CSmplBitstreamReader(EnvironmentSource environment)
    : environment_(std::move(environment)), combiner_(std::make_unique<CMVCCombiner>()) {}

CSmplBitstreamReader::~CSmplBitstreamReader() {
    StopSource();
    initialised_ = false;
    transportStream_ = false;
    combiner_.reset();
    feeder_.reset();
}

CDataFeeder* CSmplBitstreamReader::ActiveSource() const {
    if (codec_ == MFX_CODEC_AVC) return combiner_.get();
    return feeder_.get();
}

void CSmplBitstreamReader::StopSource() {
    if (CDataFeeder* source = ActiveSource()) source->Stop();
}

mfxStatus CSmplBitstreamReader::Init(std::vector<std::string> fileNames, bool transportStream) {
    if (fileNames.empty()) return MFX_ERR_UNSUPPORTED;
    if (fileNames[0].empty()) {
        ReportStatus(Environment(), MFX_ERR_NOT_INITIALIZED, kModuleUtils, kLocationInitEmptyName);
        return MFX_ERR_NOT_INITIALIZED;
    }
    if (initialised_) Close();
    transportStream_ = transportStream;
    std::uint8_t streamType = 0;
    if (transportStream_) {
        if (codec_ == MFX_CODEC_VC1) streamType = kVc1StreamType;
        if (codec_ == MFX_CODEC_MPEG2) streamType = kMpeg2StreamType;
    }

    if (codec_ == MFX_CODEC_AVC) {
        const char* dependent = fileNames.size() >= 2 ? fileNames[1].c_str() : nullptr;
        if (transportStream_)
            combiner_->SetTsFiles(fileNames[0].c_str(), dependent);
        else
            combiner_->SetFiles(fileNames[0].c_str(), dependent);
        if (!combiner_->Start()) {
            if (CEnvironment* env = Environment()) {
                if (fileNames.size() == 1)
                    env->Log(CEnvironment::kError, 0, "Cannot open input file %s", fileNames[0].c_str());
                else
                    env->Log(CEnvironment::kError, 0, "Cannot open input files %s, %s", fileNames[0].c_str(),
                             fileNames[1].c_str());
            }
            return MFX_ERR_INVALID_HANDLE;
        }
    } else {
        if (feeder_) {
            feeder_->Stop();
            feeder_.reset();
        }
        std::unique_ptr<CFileFeeder> feeder;
        if (streamType != 0) {
            auto ts = std::make_unique<CTSDemuxFeeder>();
            ts->SetTsStream(fileNames[0], streamType);
            feeder = std::move(ts);
        } else {
            feeder = std::make_unique<CFileFeeder>();
            feeder->SetFileName(fileNames[0]);
        }
        feeder->SetBlockSize(kBlockSize);
        bool started = feeder->Start() != 0;
        feeder_ = std::move(feeder);  // a failed feeder stays until the next Init
        if (!started) {
            if (CEnvironment* env = Environment())
                env->Log(CEnvironment::kError, 0, "Cannot open input file %s", fileNames[0].c_str());
            return MFX_ERR_INVALID_HANDLE;
        }
    }
    initialised_ = true;
    return MFX_ERR_NONE;
}

mfxStatus CSmplBitstreamReader::ReadBitstream(mfxBitstream* bitstream) {
    if (!bitstream) return MFX_ERR_NULL_PTR;
    if (!initialised_) {
        ReportStatus(Environment(), MFX_ERR_NOT_INITIALIZED, kModuleUtils, kLocationReadNotInitialised);
        return MFX_ERR_NOT_INITIALIZED;
    }
    // The buffer is the pipeline's; one that claims more than it holds would make this copy
    // run outside it.
    if (!bitstream->Data && bitstream->MaxLength != 0) return MFX_ERR_NULL_PTR;
    if (bitstream->DataLength > bitstream->MaxLength ||
        bitstream->DataOffset > bitstream->MaxLength - bitstream->DataLength)
        return MFX_ERR_UNDEFINED_BEHAVIOR;
    if (bitstream->DataLength && bitstream->DataOffset)
        std::memmove(bitstream->Data, bitstream->Data + bitstream->DataOffset, bitstream->DataLength);
    bitstream->DataOffset = 0;

    std::uint32_t received = 0;
    CDataFeeder* source = ActiveSource();
    if (source)
        source->Read(bitstream->Data + bitstream->DataLength, bitstream->MaxLength - bitstream->DataLength,
                     &received);
    if (received == 0) return MFX_ERR_MORE_DATA;
    bitstream->DataLength += received;
    return MFX_ERR_NONE;
}

void CSmplBitstreamReader::Close() {
    StopSource();
    initialised_ = false;
    transportStream_ = false;
}

}  // namespace qivo
