// tubexfer and bytexfer against cat and dd bs=1M, file to file and pipe to file, each run
// alternately with its peers in every round so that all see the same cache and load.
//
// Usage: copy_tools_bench [FOLDER [MEGABYTES [ROUNDS]]]
// FOLDER defaults to /dev/shm (so that the disk does not hide the copying cost), else /tmp.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Contender {
    std::string label;
    std::string command;  // %S source, %D destination, %P pipe name, %B bin folder
    std::vector<double> seconds;
    // Started untimed before the command, which is timed once the producer serves its pipe,
    // so that a reader's 100 ms retry pause for a pipe not yet created does not count.
    std::string producer = {};
};

std::string Expand(std::string text, const std::string& src, const std::string& dst,
                   const std::string& pipe) {
    const std::pair<std::string, std::string> keys[] = {
        {"%S", src}, {"%D", dst}, {"%P", pipe}, {"%B", QIVO_BIN_DIR}};
    for (const auto& [key, value] : keys) {
        for (auto at = text.find(key); at != std::string::npos; at = text.find(key, at + value.size()))
            text.replace(at, key.size(), value);
    }
    return text;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long long SizeOf(const std::string& path) {
    struct stat st{};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<long long>(st.st_size) : -1;
}

bool Serving(const std::string& socketName) {
    std::ifstream table("/proc/net/unix");
    std::string line;
    while (std::getline(table, line))
        if (line.size() > socketName.size() && line.ends_with(" @" + socketName)) return true;
    return false;
}

bool Run(const std::string& command, const std::string& producer, const std::string& socketName,
         double& seconds) {
    pid_t child = -1;
    if (!producer.empty()) {
        child = ::fork();
        if (child == 0) {
            ::execl("/bin/sh", "sh", "-c", producer.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        for (int i = 0; i < 5000 && !Serving(socketName); ++i) ::usleep(1000);
    }
    const auto start = std::chrono::steady_clock::now();
    int status = std::system(command.c_str());
    if (child > 0) {
        int producerStatus = 0;
        ::waitpid(child, &producerStatus, 0);
        if (producerStatus != 0) status = producerStatus;
    }
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return status == 0;
}

// Runs each contender once per round (after one warm-up round) and prints the medians, with
// each peer's time divided by ours: 1.0 means as fast as the peer, above is faster.
bool Compare(const char* title, std::vector<Contender>& ours, std::vector<Contender>& peers,
             const std::string& src, const std::string& dst, int rounds) {
    const std::string pipe = "\\\\.\\pipe\\qivo-bench-" + std::to_string(::getpid());
    const std::string socketName = "qivo-pipe/qivo-bench-" + std::to_string(::getpid());
    const long long size = SizeOf(src);
    for (int round = -1; round < rounds; ++round) {
        for (auto* group : {&ours, &peers}) {
            for (auto& c : *group) {
                ::unlink(dst.c_str());
                double seconds = 0;
                const std::string command = Expand(c.command, src, dst, pipe);
                if (!Run(command, Expand(c.producer, src, dst, pipe), socketName, seconds) ||
                    SizeOf(dst) != size) {
                    std::fprintf(stderr, "failed: %s\n", command.c_str());
                    return false;
                }
                if (round >= 0) c.seconds.push_back(seconds);
            }
        }
    }
    std::printf("\n%s (%lld MB, median of %d):\n", title, size >> 20, rounds);
    for (auto* group : {&ours, &peers})
        for (const auto& c : *group)
            std::printf("  %-34s %7.3f s  %7.0f MB/s\n", c.label.c_str(), Median(c.seconds),
                        size / 1048576.0 / Median(c.seconds));
    for (const auto& o : ours)
        for (const auto& p : peers)
            std::printf("  ratio %-16s vs %-18s %.2f\n", o.label.substr(0, o.label.find(' ')).c_str(),
                        p.label.c_str(), Median(p.seconds) / Median(o.seconds));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string folder = argc > 1 ? argv[1] : (::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp");
    const long long megabytes = argc > 2 ? std::atoll(argv[2]) : 256;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    const std::string stem = folder + "/qivo_copy_bench_" + std::to_string(::getpid());
    const std::string src = stem + ".src", dst = stem + ".dst";
    {
        std::ofstream out(src, std::ios::binary);
        std::vector<char> block(1 << 20);
        std::uint32_t state = 12345;
        for (long long i = 0; i < megabytes; ++i) {
            for (auto& b : block) b = static_cast<char>((state = state * 1664525u + 1013904223u) >> 24);
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
        }
    }

    std::vector<Contender> fileOurs = {
        {"tubexfer src dst", "'%B/tubexfer' '%S' '%D' > /dev/null", {}},
        {"bytexfer src dst", "'%B/bytexfer' '%S' '%D'", {}},
    };
    std::vector<Contender> filePeers = {
        {"cat", "cat '%S' > '%D'", {}},
        {"dd bs=1M", "dd if='%S' of='%D' bs=1M status=none", {}},
    };
    // The same producer feeds every consumer: tubexfer serving the file through a named pipe
    // for ours, cat into a shell pipe for the peers.
    std::vector<Contender> pipeOurs = {
        {"tubexfer -c pipe dst", "'%B/tubexfer' -c '%P' '%D' > /dev/null", {},
         "'%B/tubexfer' '%S' '%P' > /dev/null"},
        {"bytexfer pipe dst", "'%B/bytexfer' '%P' '%D'", {}, "'%B/tubexfer' '%S' '%P' > /dev/null"},
    };
    std::vector<Contender> pipePeers = {
        {"cat | cat", "cat '%S' | cat > '%D'", {}},
        {"cat | dd bs=1M", "cat '%S' | dd of='%D' bs=1M status=none", {}},
    };
    const bool ok = Compare("file to file", fileOurs, filePeers, src, dst, rounds) &&
                    Compare("pipe to file", pipeOurs, pipePeers, src, dst, rounds);
    ::unlink(src.c_str());
    ::unlink(dst.c_str());
    return ok ? 0 : 1;
}
