#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <unistd.h>

#include "ToolProcess.h"
#include "common/FileAccess.h"
#include "platform/PipeClient.h"

using namespace std::chrono_literals;

namespace {

std::string UniquePipe(const std::string& stem) {
    return "\\\\.\\pipe\\qivo-copy-" + stem + "-" + std::to_string(::getpid());
}

std::string ReadAll(const platform::FileHandle& handle) {
    std::string data;
    std::string buffer(65536, '\0');
    for (;;) {
        auto n = handle.Read(buffer.data(), buffer.size());
        if (n <= 0) break;
        data.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return data;
}

std::string AfterVersion(const std::string& out) {
    auto at = out.find("\n\n");
    return at == std::string::npos ? out : out.substr(at + 2);
}

// Several buffers' worth and an odd tail.
const std::string kClip = PatternBytes(3 * 1048576 + 12345, 7);

}  // namespace

TEST(PipeCopy, ServesAFileToTheImportersInputStream) {
    ScratchFolder folder;
    folder.Write("clip.264", kClip);
    const std::string pipe = UniquePipe("serve");
    ToolProcess server;
    server.Start("tubexfer", {"clip.264", pipe}, folder.Path());

    platform::FileHandle reader = qivo::OpenInputStream(pipe);
    ASSERT_TRUE(reader.Valid()) << errno;
    EXPECT_EQ(ReadAll(reader), kClip);  // the server closing is the end of the data
    EXPECT_EQ(server.Wait(), 0);
    EXPECT_EQ(AfterVersion(server.Out()),
              "input         (file): clip.264\noutput (pipe-server): " + pipe + "\n");
    EXPECT_EQ(server.Err(), "");
}

TEST(PipeCopy, ReaderThatStartsFirstWaitsForTheServer) {
    ScratchFolder folder;
    folder.Write("clip.264", kClip);
    const std::string pipe = UniquePipe("early");
    ToolProcess reader;
    reader.Start("tubexfer", {"-c", pipe, "copy.264"}, folder.Path());
    std::this_thread::sleep_for(1s);
    ToolProcess server;
    server.Start("tubexfer", {"-debug", "clip.264", pipe}, folder.Path());

    EXPECT_EQ(reader.Wait(), 0) << reader.Err();
    EXPECT_EQ(server.Wait(), 0) << server.Err();
    EXPECT_EQ(folder.Read("copy.264"), kClip);
    EXPECT_EQ(AfterVersion(reader.Out()),
              "input  (pipe-client): " + pipe + "\noutput        (file): copy.264\n");
    const std::string served = AfterVersion(server.Out());
    EXPECT_EQ(served.substr(0, served.find("- read")),
              "input         (file): clip.264\noutput (pipe-server): " + pipe +
                  "\n- buffer size 1048576\n- open input clip.264\n- create output pipe " + pipe +
                  "\n");
    EXPECT_TRUE(served.ends_with("- read 0\n- end of input\n- close output " + pipe +
                                 "\n- close input clip.264\n"));
}

TEST(PipeCopy, WriterClosingTheInputPipeEndsTheCopyNormally) {
    ScratchFolder folder;
    const std::string pipe = UniquePipe("writer");
    ToolProcess server;
    server.Start("tubexfer", {pipe, "copy.264", "-debug"}, folder.Path());

    {
        platform::FileHandle writer = platform::PipeClient::OpenWaiting(pipe);
        ASSERT_TRUE(writer.Valid()) << errno;
        ASSERT_TRUE(writer.WriteAll(kClip.data(), kClip.size()));
    }
    EXPECT_EQ(server.Wait(), 0) << server.Err();
    EXPECT_EQ(folder.Read("copy.264"), kClip);
    const std::string out = AfterVersion(server.Out());
    EXPECT_TRUE(out.starts_with("input  (pipe-server): " + pipe +
                                "\noutput        (file): copy.264\n- buffer size 1048576\n"
                                "- create input pipe " + pipe + "\n- create output copy.264\n"))
        << out;
    EXPECT_TRUE(out.ends_with("- read 0\n- end of input\n- close output copy.264\n- close input " +
                              pipe + "\n"))
        << out;
    EXPECT_EQ(server.Err(), "");
}

TEST(PipeCopy, ReaderLeavingMidCopyIsAWriteError) {
    ScratchFolder folder;
    folder.Write("clip.264", PatternBytes(16 * 1048576, 9));
    const std::string pipe = UniquePipe("leave");
    ToolProcess server;
    server.Start("tubexfer", {"-debug", "clip.264", pipe}, folder.Path());
    {
        platform::FileHandle reader = qivo::OpenInputStream(pipe);
        ASSERT_TRUE(reader.Valid()) << errno;
        char some[1000];
        ASSERT_EQ(reader.ReadFull(some, sizeof some), 1000);
    }
    EXPECT_EQ(server.Wait(), 1);
    // EPIPE, or ECONNRESET when the reader left bytes unread behind.
    const std::string tail = "\n***  File write error!\n";
    EXPECT_TRUE(server.Err() == "***  Output write error 32" + tail ||
                server.Err() == "***  Output write error 104" + tail)
        << server.Err();
    EXPECT_TRUE(AfterVersion(server.Out()).ends_with("- close output " + pipe +
                                                      "\n- close input clip.264\n"));
}
