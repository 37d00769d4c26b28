#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

#include "ToolProcess.h"
#include "ToolTable.h"

namespace {

const std::string kVersion = "tubexfer version 1.2 (build: %s) - named-pipe file copier\n\n";

const std::string kUsage =
    "Usage:  tubexfer  [-f|c|s] input_name  [-f|c|s] output_name\n"
    "                  [-buffer bufsize] [-debug]\n"
    "\n"
    "        where -f      open file (default)\n"
    "              -c      open named pipe-client\n"
    "              -s      create named pipe-server\n"
    "              -buffer define size of copy/pipe buffer (default 1048576 B)\n"
    "              -debug  display data transfer info and errors\n"
    "\n"
    "              without option -c|s are pipes created as named pipe-server\n"
    "              pipe_name must be in standard Windows format \"\\\\.\\pipe\\name\"\n"
    "\n";

const std::string kInput = PatternBytes(250, 1);
const std::string kFiles = "input         (file): in.bin\noutput        (file): out.bin\n";

std::string DebugCopy(unsigned buffer, const std::string& reads) {
    return kFiles + "- buffer size " + std::to_string(buffer) +
           "\n- open input in.bin\n- create output out.bin\n" + reads +
           "- read 0\n- end of input\n- close output out.bin\n- close input in.bin\n";
}

const std::string kWholeInOneRead = "- read 250\n- written 250\n";

class TubexferTable : public ::testing::TestWithParam<ToolCase> {};

TEST_P(TubexferTable, Run) {
    const ToolCase& c = GetParam();
    ScratchFolder folder;
    folder.Write("in.bin", kInput);
    folder.Write("empty.bin", "");
    ASSERT_EQ(::link((folder / "in.bin").c_str(), (folder / "hard.bin").c_str()), 0);
    ASSERT_EQ(::symlink("in.bin", (folder / "soft.bin").c_str()), 0);
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(Resolve(arg, folder));

    ToolResult r = RunTool("tubexfer", args, folder.Path());
    EXPECT_EQ(r.code, c.code);
    auto out = AfterVersionLine(r.out, kVersion);
    ASSERT_TRUE(out) << r.out;
    EXPECT_EQ(*out, Resolve(c.out, folder));
    EXPECT_EQ(r.err, Resolve(c.err, folder));
    ExpectFiles(c, folder);
    // Whatever happened, the source is never harmed.
    EXPECT_EQ(folder.Read("in.bin"), kInput);
}

const std::string kNoPipe = "\\\\.\\pipe\\qivo-no-such-pipe-" + std::to_string(::getpid());

INSTANTIATE_TEST_SUITE_P(
    CommandLine, TubexferTable,
    ::testing::Values(
        ToolCase{{}, 1, "", kUsage, {}},
        ToolCase{{"-help"}, 0, kUsage, "", {}},
        ToolCase{{"-HELP", "in.bin", "out.bin"}, 0, kUsage, "", {{"out.bin", std::nullopt}}},
        ToolCase{{"-hx"}, 0, kUsage, "", {}},
        ToolCase{{"/help"}, 0, kUsage, "", {}},
        ToolCase{{"in.bin", "out.bin"}, 0, kFiles, "", {{"out.bin", kInput}}},
        ToolCase{{"-H", "in.bin", "out.bin"}, 0, kFiles, "", {{"out.bin", kInput}}},
        ToolCase{{"-buffer", "-debug", "in.bin", "out.bin"}, 0, DebugCopy(1048576, kWholeInOneRead),
                 "", {{"out.bin", kInput}}},
        ToolCase{{"-buffer", "0", "-debug", "in.bin", "out.bin"}, 0,
                 DebugCopy(1048576, kWholeInOneRead), "", {{"out.bin", kInput}}},
        ToolCase{{"-buffer", "abc", "-DEBUG", "in.bin", "out.bin"}, 0,
                 DebugCopy(1048576, kWholeInOneRead), "", {{"out.bin", kInput}}},
        ToolCase{{"in.bin", "out.bin", "-debug", "-BUFFER", "100"}, 0,
                 DebugCopy(100, "- read 100\n- written 100\n- read 100\n- written 100\n"
                                "- read 50\n- written 50\n"),
                 "", {{"out.bin", kInput}}},
        ToolCase{{"-f", "-x", "in.bin", "out.bin"}, 0, kFiles, "", {{"out.bin", kInput}}},
        ToolCase{{"-s", "in.bin", "-c", "out.bin"}, 0, kFiles, "", {{"out.bin", kInput}}},
        ToolCase{{"in.bin", "out.bin", "c.bin"}, 0, kFiles, "",
                 {{"out.bin", kInput}, {"c.bin", std::nullopt}}},
        ToolCase{{"@/in.bin", "out.bin"}, 0,
                 "input         (file): @/in.bin\noutput        (file): out.bin\n", "",
                 {{"out.bin", kInput}}},
        ToolCase{{"empty.bin", "out.bin"}, 0,
                 "input         (file): empty.bin\noutput        (file): out.bin\n", "",
                 {{"out.bin", ""}}},
        ToolCase{{"in.bin"}, 1, "***  Output file/pipe is missing!\n", "", {}},
        ToolCase{{"-debug", "-f"}, 1, "***  Input file/pipe is missing!\n", "", {}},
        ToolCase{{"missing.bin", "out.bin"}, 1,
                 "input         (file): missing.bin\noutput        (file): out.bin\n",
                 "***  Cannot open file!\n", {{"out.bin", std::nullopt}}},
        ToolCase{{"-debug", "missing.bin", "out.bin"}, 1,
                 "input         (file): missing.bin\noutput        (file): out.bin\n"
                 "- buffer size 1048576\n",
                 "***  Cannot open input missing.bin (error 2)\n***  Cannot open file!\n",
                 {{"out.bin", std::nullopt}}},
        ToolCase{{"-debug", "in.bin", "nodir/out.bin"}, 1,
                 "input         (file): in.bin\noutput        (file): nodir/out.bin\n"
                 "- buffer size 1048576\n- open input in.bin\n- close input in.bin\n",
                 "***  Cannot open output nodir/out.bin (error 2)\n***  Cannot create file!\n",
                 {}},
        // An output pipe client gets one attempt, with no waiting for a server.
        ToolCase{{"-debug", "in.bin", "-c", kNoPipe}, 1,
                 "input         (file): in.bin\noutput (pipe-client): " + kNoPipe +
                     "\n- buffer size 1048576\n- open input in.bin\n- close input in.bin\n",
                 "***  Cannot open output " + kNoPipe + " (error 111)\n***  Cannot create file!\n",
                 {}},
        // The same file under another name would be truncated before it is read.
        ToolCase{{"in.bin", "./in.bin"}, 1,
                 "input         (file): in.bin\noutput        (file): ./in.bin\n",
                 "***  Cannot copy file to itself!\n", {}},
        ToolCase{{"hard.bin", "in.bin"}, 1,
                 "input         (file): hard.bin\noutput        (file): in.bin\n",
                 "***  Cannot copy file to itself!\n", {}},
        ToolCase{{"in.bin", "soft.bin"}, 1,
                 "input         (file): in.bin\noutput        (file): soft.bin\n",
                 "***  Cannot copy file to itself!\n", {}}));

}  // namespace

// Files that claim size 0 but have contents (as in /proc) are read, not copied by the kernel.
TEST(Tubexfer, CopiesAFileThatClaimsSizeZero) {
    ScratchFolder folder;
    ToolResult r = RunTool("tubexfer", {"/proc/version", "out.bin"}, folder.Path());
    EXPECT_EQ(r.code, 0) << r.err;
    std::ifstream in("/proc/version", std::ios::binary);
    const std::string expected((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(folder.Read("out.bin"), expected);
}
