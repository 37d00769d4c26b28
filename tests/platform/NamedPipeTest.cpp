#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

#include "platform/PipeAddress.h"
#include "platform/PipeClient.h"
#include "platform/PipeServer.h"

using namespace platform;
using namespace std::chrono_literals;

namespace {

// Abstract socket names are machine-wide: keep concurrent test runs apart.
std::string UniquePipe(const std::string& stem) {
    return "\\\\.\\pipe\\qivo-test-" + stem + "-" + std::to_string(::getpid());
}

std::string HostName() {
    char host[256] = {};
    ::gethostname(host, sizeof host - 1);
    return host;
}

std::string ReadAll(const FileHandle& handle) {
    std::string data;
    char buffer[4096];
    for (;;) {
        auto n = handle.Read(buffer, sizeof buffer);
        if (n <= 0) break;
        data.append(buffer, static_cast<std::size_t>(n));
    }
    return data;
}

}  // namespace

TEST(PipeAddress, MapsNamesToLowerCaseAbstractSocketsOnThisMachineOnly) {
    struct Case {
        std::string path;
        int error;
        std::string socketName;
    } cases[] = {
        {"\\\\.\\pipe\\Clip", 0, "qivo-pipe/clip"},
        {"\\\\.\\PIPE/MyClip.264", 0, "qivo-pipe/myclip.264"},
        {"\\\\.\\\\pipe\\a\\B", 0, "qivo-pipe/a\\b"},
        {"\\\\" + HostName() + "\\pipe\\x", 0, "qivo-pipe/x"},
        {"\\\\.\\pipe\\", 0, "qivo-pipe/"},
        {"\\\\elsewhere\\pipe\\x", EHOSTUNREACH, ""},
        {"\\\\.\\pipes\\x", EINVAL, ""},
        {"\\\\.\\pipe", EINVAL, ""},
        {"C:\\pipe\\x", EINVAL, ""},
        {"\\\\.\\pipe\\" + std::string(200, 'n'), ENAMETOOLONG, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        PipeAddress address(c.path);
        EXPECT_EQ(address.Error(), c.error);
        EXPECT_EQ(address.Valid(), c.error == 0);
        if (address.Valid()) {
            EXPECT_EQ(address.SocketName(), c.socketName);
        }
    }
}

TEST(NamedPipe, ServerAndClientMeetRegardlessOfCaseAndEndWithARead0) {
    const std::string name = UniquePipe("Meet");
    PipeServer server = PipeServer::Create(name, 65536);
    ASSERT_TRUE(server.Valid()) << errno;

    // A second server cannot take a name that is served.
    errno = 0;
    EXPECT_FALSE(PipeServer::Create(name, 0).Valid());
    EXPECT_EQ(errno, EADDRINUSE);

    std::string upper = name;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    FileHandle client;
    ASSERT_EQ(PipeClient::TryOpen(upper, client), PipeOpenStatus::Connected);
    FileHandle connection = server.Connect();
    ASSERT_TRUE(connection.Valid());
    EXPECT_FALSE(server.Valid());  // the one instance is in use now

    const std::string payload(300000, 'q');
    std::thread writer([&] {
        EXPECT_TRUE(connection.WriteAll(payload.data(), payload.size()));
        connection.Close();
    });
    EXPECT_EQ(ReadAll(client), payload);
    writer.join();
}

TEST(NamedPipe, ClientFindsNoServerOrAnotherMachineAtOnce) {
    FileHandle client;
    EXPECT_EQ(PipeClient::TryOpen(UniquePipe("absent"), client), PipeOpenStatus::NotCreated);
    EXPECT_EQ(errno, ECONNREFUSED);
    EXPECT_FALSE(client.Valid());
    EXPECT_EQ(PipeClient::TryOpen("\\\\elsewhere\\pipe\\x", client), PipeOpenStatus::Failed);
    EXPECT_EQ(errno, EHOSTUNREACH);
}

TEST(NamedPipe, WriterSeesBrokenPipeWithoutASignalWhenTheReaderLeaves) {
    const std::string name = UniquePipe("broken");
    PipeServer server = PipeServer::Create(name, 0);
    ASSERT_TRUE(server.Valid());
    FileHandle client;
    ASSERT_EQ(PipeClient::TryOpen(name, client), PipeOpenStatus::Connected);
    FileHandle connection = server.Connect();
    client.Close();
    const std::string payload(1 << 20, 'x');
    EXPECT_FALSE(connection.WriteAll(payload.data(), payload.size()));
    EXPECT_TRUE(errno == EPIPE || errno == ECONNRESET) << errno;
}

TEST(NamedPipe, BusyPipeWaitsForTheNextInstance) {
    const std::string name = UniquePipe("busy");
    PipeServer first = PipeServer::Create(name, 0);
    ASSERT_TRUE(first.Valid());
    FileHandle early;
    ASSERT_EQ(PipeClient::TryOpen(name, early), PipeOpenStatus::Connected);

    FileHandle late;
    EXPECT_EQ(PipeClient::TryOpen(name, late), PipeOpenStatus::Busy);
    EXPECT_EQ(PipeClient::WaitForInstance(name, 100, late), PipeOpenStatus::Busy);
    EXPECT_EQ(errno, ETIMEDOUT);

    // The server takes its first client; the name is gone while that instance is in use, and
    // the waiting client must ride over that gap until the server offers the next instance.
    FileHandle taken = first.Connect();
    ASSERT_TRUE(taken.Valid());
    std::thread server([&] {
        std::this_thread::sleep_for(300ms);
        PipeServer second = PipeServer::Create(name, 0);
        FileHandle next = second.Connect();
        EXPECT_TRUE(next.WriteAll("2", 1));
    });
    EXPECT_EQ(PipeClient::WaitForInstance(name, 10000, late), PipeOpenStatus::Connected);
    EXPECT_EQ(ReadAll(late), "2");
    server.join();
}

TEST(NamedPipe, OpenWaitingGivesUpAfterItsAttempts) {
    PipeWaitPolicy policy;
    policy.attempts = 3;
    policy.notCreatedDelayMs = 10;
    FileHandle handle = PipeClient::OpenWaiting(UniquePipe("never"), policy);
    EXPECT_FALSE(handle.Valid());
    EXPECT_EQ(errno, ECONNREFUSED);
}
