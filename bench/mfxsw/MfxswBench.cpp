// Decoding speed of the software runtime against ffmpeg on the same libavcodec, side by side:
// rounds alternate between `ffmpeg -threads 2 -i CLIP -f rawvideo -pix_fmt yuv420p /dev/null`
// and the SDK decode loop the plug-in runs (through Debian's dispatcher, 1 MiB bitstream
// buffer, system-memory NV12 surfaces, one synchronised picture at a time). Each side's best
// round counts; the result is the ratio of frame rates (runtime / ffmpeg).
//
// Usage: mfxsw_bench [CLIP] [ROUNDS]   (the default clip is generated on first use)
#include "common/MediaRuntime.h"

#include <mfxvideo.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct FileClose {
    void operator()(FILE* f) const { std::fclose(f); }
};

// Frames decoded, or -1 on failure. `threads` 0 leaves the runtime's default.
long DecodeWithRuntime(const std::string& path, mfxU16 threads) {
    std::unique_ptr<FILE, FileClose> file(std::fopen(path.c_str(), "rb"));
    if (!file) return -1;
    mfxInitParam init{};
    init.Implementation = MFX_IMPL_AUTO_ANY;
    init.Version.Major = 1;
    mfxExtThreadsParam threadParam{};
    threadParam.Header.BufferId = MFX_EXTBUFF_THREADS_PARAM;
    threadParam.Header.BufferSz = sizeof threadParam;
    threadParam.NumThread = threads;
    mfxExtBuffer* ext[] = {&threadParam.Header};
    if (threads) {
        init.ExtParam = ext;
        init.NumExtParam = 1;
    }
    mfxSession session = nullptr;
    if (MFXInitEx(init, &session) != MFX_ERR_NONE) return -1;
    std::vector<mfxU8> buffer(1 << 20);
    mfxBitstream bs{};
    bs.Data = buffer.data();
    bs.MaxLength = static_cast<mfxU32>(buffer.size());
    auto read = [&] {
        std::memmove(bs.Data, bs.Data + bs.DataOffset, bs.DataLength);
        bs.DataOffset = 0;
        size_t n = std::fread(bs.Data + bs.DataLength, 1, bs.MaxLength - bs.DataLength, file.get());
        bs.DataLength += static_cast<mfxU32>(n);
        return n > 0;
    };
    read();
    mfxVideoParam par{};
    par.mfx.CodecId = MFX_CODEC_AVC;
    long frames = -1;
    std::vector<mfxFrameSurface1> surfaces;
    std::vector<std::vector<mfxU8>> memory;
    mfxFrameAllocRequest request{};
    if (MFXVideoDECODE_DecodeHeader(session, &bs, &par) == MFX_ERR_NONE) {
        par.IOPattern = MFX_IOPATTERN_OUT_SYSTEM_MEMORY;
        par.AsyncDepth = 4;
        MFXVideoDECODE_QueryIOSurf(session, &par, &request);
        size_t pitch = (par.mfx.FrameInfo.Width + 31u) & ~31u;
        size_t rows = (par.mfx.FrameInfo.Height + 31u) & ~31u;
        surfaces.resize(request.NumFrameSuggested);
        for (auto& s : surfaces) {
            memory.emplace_back(pitch * rows * 3 / 2);
            s.Info = par.mfx.FrameInfo;
            s.Data.Y = memory.back().data();
            s.Data.UV = s.Data.Y + pitch * rows;
            s.Data.V = s.Data.UV + 1;
            s.Data.PitchLow = static_cast<mfxU16>(pitch);
        }
        if (MFXVideoDECODE_Init(session, &par) == MFX_ERR_NONE) frames = 0;
    }
    bool draining = false;
    while (frames >= 0) {
        mfxFrameSurface1* work = nullptr;
        for (auto& s : surfaces)
            if (!s.Data.Locked) {
                work = &s;
                break;
            }
        mfxFrameSurface1* out = nullptr;
        mfxSyncPoint sync = nullptr;
        mfxStatus status = MFXVideoDECODE_DecodeFrameAsync(session, draining ? nullptr : &bs,
                                                           work, &out, &sync);
        if (status == MFX_ERR_NONE) {
            if (MFXVideoCORE_SyncOperation(session, sync, 300000) != MFX_ERR_NONE) frames = -1;
            else ++frames;
        } else if (status == MFX_ERR_MORE_DATA) {
            if (draining) break;
            if (!read()) draining = true;
        } else if (status != MFX_ERR_MORE_SURFACE) {
            frames = -1;
        }
    }
    MFXVideoDECODE_Close(session);
    MFXClose(session);
    return frames;
}

double Seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

long FramesIn(const std::string& path) {
    std::string command = "ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                          "stream=nb_read_frames -of csv=p=0 '" + path + "'";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    long frames = 0;
    if (!pipe || std::fscanf(pipe.get(), "%ld", &frames) != 1) return -1;
    return frames;
}

}  // namespace

int main(int argc, char** argv) {
    std::string clip = argc > 1 ? argv[1] : MFXSW_BENCH_CLIP;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    if (argc <= 1) {
        std::string make = std::string("bash '") + MFXSW_BENCH_SCRIPT + "' '" + clip + "'";
        if (std::system(make.c_str()) != 0) {
            std::fprintf(stderr, "cannot make the benchmark clip\n");
            return 1;
        }
    }
    qivo::MediaRuntime runtime;
    if (!runtime.IsLoaded()) {
        std::fprintf(stderr, "runtime not loaded: %s\n", runtime.Error().c_str());
        return 1;
    }
    long expected = FramesIn(clip);
    std::string ffmpeg = "ffmpeg -nostdin -v error -threads 2 -i '" + clip +
                         "' -f rawvideo -pix_fmt yuv420p -y /dev/null";
    double bestFfmpeg = 1e30, bestDefault = 1e30, bestTwo = 1e30;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        if (std::system(ffmpeg.c_str()) != 0) return 1;
        bestFfmpeg = std::min(bestFfmpeg, Seconds(start));
        start = Clock::now();
        long frames = DecodeWithRuntime(clip, 0);
        bestDefault = std::min(bestDefault, Seconds(start));
        start = Clock::now();
        long framesTwo = DecodeWithRuntime(clip, 2);
        bestTwo = std::min(bestTwo, Seconds(start));
        if (frames != expected || framesTwo != expected) {
            std::fprintf(stderr, "runtime decoded %ld / %ld frames, ffprobe counts %ld\n", frames,
                         framesTwo, expected);
            return 1;
        }
    }
    double fpsFfmpeg = expected / bestFfmpeg;
    double fpsDefault = expected / bestDefault, fpsTwo = expected / bestTwo;
    std::printf("clip: %s (%ld frames), best of %d rounds\n", clip.c_str(), expected, rounds);
    std::printf("ffmpeg -threads 2           %8.1f fps\n", fpsFfmpeg);
    std::printf("runtime, default threads    %8.1f fps   ratio %.3f\n", fpsDefault,
                fpsDefault / fpsFfmpeg);
    std::printf("runtime, 2 threads          %8.1f fps   ratio %.3f\n", fpsTwo, fpsTwo / fpsFfmpeg);
    return 0;
}
