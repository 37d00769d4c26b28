// The importer's frame-counting pass over a large transport stream, timed against ffmpeg's
// demuxing pass over the same file, run alternately so that both see the same cache and load.
//
// Usage: ts_count_bench [FILE.ts [STREAM_TYPE [ROUNDS]]]
// Without a file it makes (once) a ~128 MB H.264 stream in the build tree.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "input/CTSDemuxFeeder.h"

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double Seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    std::string file = argc > 1 ? argv[1] : QIVO_BENCH_TS;
    int streamType = argc > 2 ? std::atoi(argv[2]) : 27;
    int rounds = argc > 3 ? std::atoi(argv[3]) : 7;
    if (argc <= 1) {
        std::string make = std::string("bash '") + QIVO_BENCH_TS_SCRIPT + "' '" + file + "'";
        if (std::system(make.c_str()) != 0) {
            std::fprintf(stderr, "cannot make %s\n", file.c_str());
            return 1;
        }
    }
    std::string ffmpeg = "ffmpeg -nostdin -hide_banner -loglevel error -i '" + file + "' -map 0:v -c copy -f null -";

    std::vector<double> ours, theirs;
    std::int64_t frames = -1;
    for (int round = -1; round < rounds; ++round) {  // round -1 warms the page cache
        auto start = std::chrono::steady_clock::now();
        qivo::CTSDemuxFeeder feeder;
        feeder.SetTsStream(file, static_cast<std::uint8_t>(streamType));
        if (!feeder.Start()) {
            std::fprintf(stderr, "cannot start on %s\n", file.c_str());
            return 1;
        }
        while (feeder.Read(nullptr, 1048576, nullptr)) {
        }
        feeder.Stop();
        auto middle = std::chrono::steady_clock::now();
        int status = std::system(ffmpeg.c_str());
        auto end = std::chrono::steady_clock::now();
        if (status == -1 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "ffmpeg failed: %s\n", ffmpeg.c_str());
            return 1;
        }
        frames = feeder.countedFrames;
        if (round < 0) continue;
        ours.push_back(Seconds(middle - start));
        theirs.push_back(Seconds(end - middle));
    }
    double a = Median(ours), b = Median(theirs);
    std::printf("file %s, %d rounds, %lld frames counted\n", file.c_str(), rounds, static_cast<long long>(frames));
    std::printf("counting pass  median %.3f s\n", a);
    std::printf("ffmpeg -c copy median %.3f s\n", b);
    std::printf("ratio (ffmpeg / counting pass): %.2fx\n", b / a);
    return 0;
}
