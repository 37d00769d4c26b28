#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

#include "common/FileAccess.h"
#include "platform/PipeServer.h"

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

std::string UniquePipe(const std::string& stem) {
    return "\\\\.\\pipe\\qivo-access-" + stem + "-" + std::to_string(::getpid());
}

}  // namespace

TEST(FileAccess, PipePathRule) {
    struct Case {
        const char* path;
        bool pipe;
    } cases[] = {
        {"\\\\.\\pipe\\clip", true},
        {"\\\\SERVER\\PIPE/clip", true},
        {"\\\\/pipe/clip", true},       // empty server part
        {"\\\\.\\//\\pipe\\x", true},    // any run of separators
        {"\\\\.\\pipe\\", true},         // nothing after the prefix is examined
        {"//./pipe/clip", false},
        {"\\\\\\pipe\\clip", false},
        {"\\\\.\\pipes\\clip", false},
        {"\\\\.\\pipe", false},
        {"\\\\server", false},
        {"C:\\pipe\\clip", false},
        {"", false},
        {nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path ? c.path : "(null)");
        EXPECT_EQ(qivo::IsPipePath(c.path), c.pipe);
    }
}

TEST(FileAccess, OpenForReadingMakesOneAttemptOnAPipe) {
    const std::string name = UniquePipe("once");
    errno = 0;
    EXPECT_FALSE(qivo::OpenForReading(name).Valid());
    EXPECT_EQ(errno, ECONNREFUSED);

    platform::PipeServer server = platform::PipeServer::Create(name, 0);
    ASSERT_TRUE(server.Valid());
    platform::FileHandle client = qivo::OpenForReading(name);
    ASSERT_TRUE(client.Valid());
    platform::FileHandle connection = server.Connect();
    ASSERT_TRUE(connection.WriteAll("abc", 3));
    connection.Close();
    char buffer[8];
    EXPECT_EQ(client.ReadFull(buffer, sizeof buffer), 3);
}

TEST(FileAccess, InputStreamWaitsForAServerCreatedLater) {
    const std::string name = UniquePipe("later");
    std::thread server([&] {
        std::this_thread::sleep_for(1s);
        platform::PipeServer pipe = platform::PipeServer::Create(name, 0);
        ASSERT_TRUE(pipe.Valid());
        platform::FileHandle connection = pipe.Connect();
        EXPECT_TRUE(connection.WriteAll("late bytes", 10));
    });
    const auto begin = Clock::now();
    platform::FileHandle client = qivo::OpenInputStream(name);
    ASSERT_TRUE(client.Valid()) << errno;
    EXPECT_GE(Clock::now() - begin, 900ms);  // it really waited rather than finding a stale pipe
    char buffer[32];
    EXPECT_EQ(client.ReadFull(buffer, sizeof buffer), 10);
    EXPECT_EQ(std::string(buffer, 10), "late bytes");
    server.join();
}

TEST(FileAccess, InputStreamOfAMissingFileFailsAtOnce) {
    const auto begin = Clock::now();
    errno = 0;
    platform::FileHandle handle = qivo::OpenInputStream("/nonexistent/qivo/clip.264");
    EXPECT_FALSE(handle.Valid());
    EXPECT_EQ(errno, ENOENT);
    // A retry would cost at least one 100 ms pause.
    EXPECT_LT(Clock::now() - begin, 100ms);
}

TEST(FileAccess, InputStreamOfAPipeOnAnotherMachineFailsAtOnce) {
    errno = 0;
    EXPECT_FALSE(qivo::OpenInputStream("\\\\elsewhere\\pipe\\clip").Valid());
    EXPECT_EQ(errno, EHOSTUNREACH);
}
