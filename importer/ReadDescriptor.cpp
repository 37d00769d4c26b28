#include "importer/ReadDescriptor.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <strings.h>

#include "platform/ProfileFile.h"
#include "platform/Utf.h"

namespace qivo {
namespace {

constexpr char kVideo[] = "Video";
constexpr char kAudio[] = "Audio";

bool Is(std::string_view value, const char* word) {
    return value.size() == std::strlen(word) && strncasecmp(value.data(), word, value.size()) == 0;
}

// "true", or a text whose leading decimal number is not 0.
bool IsOn(const std::string& value) {
    if (Is(value, "true")) return true;
    return std::strtol(value.c_str(), nullptr, 10) != 0;
}

// A number as "%d" reads it, but refusing values outside int instead of wrapping.
bool ReadInt(const char*& p, int& out) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(p, &end, 10);
    if (end == p || errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
    out = static_cast<int>(value);
    p = end;
    return true;
}

// "num:den", both read and both at least 1; otherwise 1:1.
void ReadPar(const std::string& value, std::int32_t& num, std::int32_t& den) {
    num = den = 1;
    const char* p = value.c_str();
    int n = 0, d = 0;
    if (!ReadInt(p, n) || *p++ != ':' || !ReadInt(p, d) || n < 1 || d < 1) return;
    num = n;
    den = d;
}

// A double as "%lf" reads it, independent of the process's locale.
class CNumbers {
public:
    CNumbers() : locale_(::newlocale(LC_NUMERIC_MASK, "C", static_cast<locale_t>(0))) {}
    ~CNumbers() {
        if (locale_) ::freelocale(locale_);
    }
    CNumbers(const CNumbers&) = delete;
    CNumbers& operator=(const CNumbers&) = delete;

    bool Read(const char*& p, double& out) const {
        char* end = nullptr;
        out = locale_ ? ::strtod_l(p, &end, locale_) : std::strtod(p, &end);
        if (end == p) return false;
        p = end;
        return true;
    }

private:
    locale_t locale_;
};

void SetPath(char16_t (&field)[kPathCapacity], const std::string& path) {
    platform::ToHostText(path, field, kPathCapacity);
}

bool Fits(const std::string& path) { return platform::Utf8ToUtf16(path).size() < kPathCapacity; }

}  // namespace

std::string ResolveFileName(std::string_view descriptorPath, std::string_view value) {
    if (value.empty()) return {};
    if (value.find_first_of("\\/") != std::string_view::npos) return std::string(value);
    std::size_t cut = 0;
    if (auto pos = descriptorPath.rfind('\\'); pos != std::string_view::npos) cut = pos + 1;
    if (auto pos = descriptorPath.rfind('/'); pos != std::string_view::npos && pos >= cut) cut = pos + 1;
    return std::string(descriptorPath.substr(0, cut)) + std::string(value);
}

std::int64_t TicksPerFrameFor(std::string_view frameRate, std::int64_t ticksPerSecond) {
    const CNumbers numbers;
    const std::string text(frameRate);
    const char* p = text.c_str();
    double num = 0, den = 0;
    if (!numbers.Read(p, num)) return 0;
    if (*p == '/') {
        ++p;
        if (!numbers.Read(p, den)) den = 1;
    } else {
        den = 1;
    }
    if (num == 0) return 0;
    if (den == 0) den = 1;
    const double ticks = static_cast<double>(ticksPerSecond) * den / num;
    // A negative, infinite or undefined rate has no frame duration; nor has one that no 64-bit
    // tick count can hold.
    if (!(ticks >= 0) || ticks >= 9223372036854775808.0) return 0;
    return static_cast<std::int64_t>(ticks);
}

int ReadDescriptor(ClipRecord& record) {
    const std::string descriptor = platform::FromHostText(record.descriptorPath, kPathCapacity);
    const platform::ProfileFile file = platform::ProfileFile::Load(descriptor);
    SourceSettings& settings = record.frameSource->settings;
    auto text = [&](const char* section, const char* key, const char* fallback = "") {
        return file.GetString(section, key, fallback);
    };
    bool namesFit = true;
    auto resolve = [&](const char* section, const char* key) {
        std::string path = ResolveFileName(descriptor, text(section, key));
        if (!Fits(path)) {
            namesFit = false;
            path.clear();
        }
        return path;
    };

    const std::string platformName = text(kVideo, "platform");
    if (Is(platformName, "sw")) settings.impl = MFX_IMPL_SOFTWARE;
    else if (Is(platformName, "hw")) settings.impl = MFX_IMPL_HARDWARE_ANY;

    const std::string memory = text(kVideo, "memory");
    if (Is(memory, "d3d") || Is(memory, "d3d9")) settings.memoryType = kMemoryD3D9;
    else if (Is(memory, "d3d11")) settings.memoryType = kMemoryD3D11;
    else settings.memoryType = kMemorySystem;

    settings.asyncDepth = static_cast<std::uint16_t>(file.GetInt(kVideo, "async", 4));

    settings.inputFiles.clear();
    const std::string video = resolve(kVideo, "filename");
    if (!video.empty()) {
        SetPath(record.videoPath, video);
        settings.inputFiles.push_back(video);
    }
    const std::string dependent = resolve(kVideo, "filename_dep");
    if (!dependent.empty()) {
        SetPath(record.dependentPath, dependent);
        settings.inputFiles.push_back(dependent);
    }
    SetPath(record.logPath, resolve(kVideo, "log_file"));

    settings.codec = 0;
    settings.mvcFlags = 0;
    const std::string codec = text(kVideo, "codec");
    if (Is(codec, "mpeg2")) settings.codec = MFX_CODEC_MPEG2;
    else if (Is(codec, "h264")) settings.codec = MFX_CODEC_AVC;
    else if (Is(codec, "mvc")) {
        settings.codec = MFX_CODEC_AVC;
        settings.mvcFlags = kMvcStereo;
    } else if (Is(codec, "vc1")) settings.codec = MFX_CODEC_VC1;
    else if (Is(codec, "jpeg")) settings.codec = MFX_CODEC_JPEG;

    record.width = file.GetInt(kVideo, "width", 0);
    record.height = file.GetInt(kVideo, "height", 0);

    std::int64_t ticksPerSecond = 0;
    if (record.timeSuite && record.timeSuite->GetTicksPerSecond &&
        record.timeSuite->GetTicksPerSecond(&ticksPerSecond) != host::kSuiteSuccess) {
        ticksPerSecond = 0;
    }
    record.ticksPerFrame = TicksPerFrameFor(text(kVideo, "frame_rate", "0"), ticksPerSecond);

    const std::string fieldType = text(kVideo, "field_type");
    record.fieldType = Is(fieldType, "TFF") ? kTopFieldFirst : Is(fieldType, "BFF") ? kBottomFieldFirst : kProgressive;

    ReadPar(text(kVideo, "PAR", "1:1"), record.parNum, record.parDen);

    settings.outputFourCC = MFX_FOURCC_YV12;
    settings.outputEnabled = true;
    settings.layout = kLayoutNone;
    settings.writerFlags = 0;
    if (settings.mvcFlags & kMvcStereo) {
        const bool swap = IsOn(text(kVideo, "swapLR"));
        settings.viewCount = 2;
        if (settings.inputFiles.size() > 2) settings.inputFiles.resize(2);
        const std::string layout = text(kVideo, "layout");
        if (Is(layout, "sbs")) {
            settings.layout = kLayoutSideBySide;
            settings.writerFlags = kWriterSideBySide;
        } else if (Is(layout, "tab")) {
            settings.layout = kLayoutTopBottom;
            settings.writerFlags = kWriterTopBottom;
        } else if (Is(layout, "l") || Is(layout, "left")) {
            settings.layout = kLayoutLeftOnly;
            settings.writerFlags = kWriterTopBottom;
        } else if (Is(layout, "r") || Is(layout, "right")) {
            settings.layout = kLayoutRightOnly;
            settings.writerFlags = kWriterTopBottom;
        }
        if (swap && settings.writerFlags != 0) settings.writerFlags |= kWriterSwapViews;
    } else {
        settings.viewCount = 1;
        if (settings.inputFiles.size() > 1) settings.inputFiles.resize(1);
    }

    const std::string container = text(kVideo, "container");
    settings.isTransportStream = Is(container, "TS") || Is(container, "MTS") || Is(container, "M2TS");

    // Taken as unsigned, as the host's integer reader gives it; a negative text is no cache
    // length, so it gets the smallest cache rather than one of billions of frames.
    const int cache = file.GetInt(kVideo, "cache", 0);
    settings.cacheSize = cache > 1 ? cache : 1;

    record.frameCount = file.GetInt(kVideo, "num_frames", 0);
    settings.frameCount = record.frameCount;
    settings.reload = IsOn(text(kVideo, "reload", "true"));

    SetPath(record.audioPath, resolve(kAudio, "filename"));
    record.audioContainer = Is(text(kAudio, "container"), "TS") ? kAudioTsLpcm : kAudioRawPcm;
    record.sampleRate = file.GetInt(kAudio, "sample_rate", 0);
    record.channelCount = file.GetInt(kAudio, "num_channels", 0);
    record.bitDepth = file.GetInt(kAudio, "bit_depth", 0);
    record.bigEndian = Is(text(kAudio, "endian"), "big");

    if (!namesFit) {
        record.videoPath[0] = 0;
        settings.inputFiles.clear();
    }
    return 0;
}

bool WriteFrameCount(const ClipRecord& record, std::int32_t frameCount) {
    const std::string descriptor = platform::FromHostText(record.descriptorPath, kPathCapacity);
    return platform::WriteProfileString(descriptor, kVideo, "num_frames", std::to_string(frameCount));
}

}  // namespace qivo
