#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "ToolProcess.h"
#include "ToolTable.h"

namespace {

const std::string kVersion = "bytexfer version 3.0 (build: %s) - binary file copier\n\n";

const std::string kUsage =
    "Usage:  bytexfer  src_file [+ src_file ...] dst_file [-start pos] [-length len]\n"
    "                 [-buffer bufsize] [-debug]\n"
    "\n"
    "        where -start  0  copy from beginning of all joined source files\n"
    "              -length 0  copy until end of joined source files\n"
    "\n"
    "               pos,len   are 64-bit decimal or hexadecimal numbers\n"
    "                         in format 1448, x5A8, x5a8, ...\n"
    "\n"
    "              -buffer    define size of copy/pipe buffer (default 1048576 B)\n"
    "              -debug     display data transfer info and errors\n"
    "\n";

std::string Counting(int from, int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<char>(from + i));
    return bytes;
}

const std::string kA = Counting(0, 100);
const std::string kB = Counting(100, 100);
const std::string kC = PatternBytes(30, 3);
const std::string kBig = PatternBytes(2000, 4);
const std::string kKeep = "an older destination";

// Help and usage carry the version line, which the table then compares with the rest.
const std::string kHelp = "(version)" + kUsage;

std::string Expand(const std::string& text) {
    return text.rfind("(version)", 0) == 0 ? text.substr(9) : text;
}

class BytexferTable : public ::testing::TestWithParam<ToolCase> {};

TEST_P(BytexferTable, Run) {
    const ToolCase& c = GetParam();
    ScratchFolder folder;
    folder.Write("a.bin", kA);
    folder.Write("b.bin", kB);
    folder.Write("c.bin", kC);
    folder.Write("big.bin", kBig);
    folder.Write("old.bin", kKeep);
    ASSERT_EQ(::link((folder / "a.bin").c_str(), (folder / "hard.bin").c_str()), 0);
    ASSERT_EQ(::symlink("a.bin", (folder / "soft.bin").c_str()), 0);
    std::vector<std::string> args;
    for (const std::string& arg : c.args) args.push_back(Resolve(arg, folder));

    ToolResult r = RunTool("bytexfer", args, folder.Path());
    EXPECT_EQ(r.code, c.code);
    for (auto [actual, expected] : {std::pair{&r.out, &c.out}, std::pair{&r.err, &c.err}}) {
        if (expected->rfind("(version)", 0) == 0) {
            auto rest = AfterVersionLine(*actual, kVersion);
            ASSERT_TRUE(rest) << *actual;
            EXPECT_EQ(*rest, Expand(*expected));
        } else {
            EXPECT_EQ(*actual, Resolve(*expected, folder));
        }
    }
    ExpectFiles(c, folder);
    EXPECT_EQ(folder.Read("a.bin"), kA);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, BytexferTable,
    ::testing::Values(
        ToolCase{{}, 1, "", kHelp, {}},
        ToolCase{{"-help"}, 0, kHelp, "", {}},
        ToolCase{{"/Help", "a.bin", "out.bin"}, 0, kHelp, "", {{"out.bin", std::nullopt}}},
        ToolCase{{"a.bin"}, 1, "", kHelp, {}},
        ToolCase{{"+", "a.bin", "out.bin"}, 1, "", kHelp, {{"out.bin", std::nullopt}}},
        ToolCase{{"a.bin", "out.bin"}, 0, "", "", {{"out.bin", kA}}},
        ToolCase{{"a.bin", "old.bin"}, 0, "", "", {{"old.bin", kA}}},
        ToolCase{{"@/a.bin", "@/out.bin"}, 0, "", "", {{"out.bin", kA}}},
        ToolCase{{"a.bin", "+", "b.bin", "+", "c.bin", "out.bin"}, 0, "", "",
                 {{"out.bin", kA + kB + kC}}},
        // The destination is the first name that meets an occupied slot.
        ToolCase{{"a.bin", "out.bin", "+", "c.bin"}, 0, "", "", {{"out.bin", kA + kC}}},
        ToolCase{{"a.bin", "+", "b.bin", "out.bin", "-start", "150", "-length", "20", "-debug"}, 0,
                 "- buffer size 1048576\n- open input a.bin\n- create output out.bin\n"
                 "- read 100\n- skipped\n- read 0\n- end of input\n- read 0\n- end of input\n"
                 "- close input a.bin\n- open input b.bin\n- read 50\n- skipped\n"
                 "- read 20\n- written 20\n- close input b.bin\n- close output out.bin\n",
                 "", {{"out.bin", Counting(150, 20)}}},
        ToolCase{{"a.bin", "out.bin", "-buffer", "30", "-start", "5", "-length", "40", "-debug"}, 0,
                 "- buffer size 30\n- open input a.bin\n- create output out.bin\n"
                 "- read 5\n- skipped\n- read 30\n- written 30\n- read 10\n- written 10\n"
                 "- close input a.bin\n- close output out.bin\n",
                 "", {{"out.bin", kA.substr(5, 40)}}},
        ToolCase{{"big.bin", "out.bin", "-start", "x5A8"}, 0, "", "", {{"out.bin", kBig.substr(1448)}}},
        ToolCase{{"big.bin", "out.bin", "-START", " x5a8"}, 0, "", "", {{"out.bin", kBig.substr(1448)}}},
        ToolCase{{"big.bin", "out.bin", "-start", "1448"}, 0, "", "", {{"out.bin", kBig.substr(1448)}}},
        ToolCase{{"big.bin", "out.bin", "-start", "0x5A8"}, 0, "", "", {{"out.bin", kBig}}},
        ToolCase{{"big.bin", "out.bin", "-len", "x10", "-length", "20"}, 0, "", "",
                 {{"out.bin", kBig.substr(0, 20)}}},
        ToolCase{{"a.bin", "out.bin", "-length"}, 0, "", "", {{"out.bin", kA}}},
        ToolCase{{"a.bin", "out.bin", "-start", "1000"}, 0, "", "", {{"out.bin", ""}}},
        // A range running past 2^64 runs to the end rather than wrapping to nothing.
        ToolCase{{"a.bin", "out.bin", "-start", "10", "-length", "xFFFFFFFFFFFFFFFF"}, 0, "", "",
                 {{"out.bin", kA.substr(10)}}},
        ToolCase{{"a.bin", "+", "+", "b.bin", "out.bin", "-debug"}, 0,
                 "- buffer size 1048576\n- open input a.bin\n- create output out.bin\n"
                 "- read 100\n- written 100\n- read 0\n- end of input\n"
                 "- close input a.bin\n- close output out.bin\n",
                 "", {{"out.bin", kA}}},
        ToolCase{{"a.bin", "+", "missing.bin", "out.bin"}, 1, "",
                 "input  missing.bin\n***  Cannot open file!\n", {{"out.bin", kA}}},
        ToolCase{{"a.bin", "+", "missing.bin", "+", "b.bin", "out.bin", "-debug"}, 1,
                 "- buffer size 1048576\n- open input a.bin\n- create output out.bin\n"
                 "- read 100\n- written 100\n- read 0\n- end of input\n"
                 "- close input a.bin\n- close output out.bin\n",
                 "***  Cannot open input missing.bin (error 2)\n"
                 "input  missing.bin\n***  Cannot open file!\n",
                 {{"out.bin", kA}}},
        ToolCase{{"missing.bin", "new.bin"}, 1, "", "input  missing.bin\n***  Cannot open file!\n",
                 {{"new.bin", std::nullopt}}},
        ToolCase{{"missing.bin", "old.bin"}, 1, "", "input  missing.bin\n***  Cannot open file!\n",
                 {{"old.bin", kKeep}}},
        ToolCase{{"a.bin", "nodir/out.bin", "-debug"}, 1,
                 "- buffer size 1048576\n- open input a.bin\n",
                 "***  Cannot create output nodir/out.bin (error 2)\n"
                 "output nodir/out.bin\n***  Cannot create file!\n",
                 {}},
        // The destination is one of the sources: by name (letter case ignored), or the same
        // file under another name. Nothing is opened, so nothing is lost.
        ToolCase{{"a.bin", "A.BIN"}, 1, "",
                 "input  a.bin\noutput A.BIN\n***  Cannot copy file to itself!\n", {}},
        ToolCase{{"b.bin", "+", "a.bin", "./a.bin"}, 1, "",
                 "input  a.bin\noutput ./a.bin\n***  Cannot copy file to itself!\n", {}},
        ToolCase{{"a.bin", "@/a.bin"}, 1, "",
                 "input  a.bin\noutput @/a.bin\n***  Cannot copy file to itself!\n", {}},
        ToolCase{{"hard.bin", "a.bin"}, 1, "",
                 "input  hard.bin\noutput a.bin\n***  Cannot copy file to itself!\n", {}},
        ToolCase{{"a.bin", "soft.bin"}, 1, "",
                 "input  a.bin\noutput soft.bin\n***  Cannot copy file to itself!\n", {}}));

}  // namespace
