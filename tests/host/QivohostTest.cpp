// The host program end to end: it loads the plug-in from its own folder, opens a descriptor
// through it and reports what the plug-in answered.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <string>

#include "TestFiles.h"

namespace {

const std::string kQivohost = std::string(QIVO_BIN_DIR) + "/qivohost";

struct RunResult {
    int status = -1;
    std::string out, err;
};

// Runs qivohost in the given folder with stdout and stderr kept apart.
RunResult RunHost(const qivo_test::TempDir& scratch, const std::string& cwd, const std::string& args) {
    const std::string out = scratch.File("stdout.txt"), err = scratch.File("stderr.txt");
    const std::string command = "cd '" + cwd + "' && '" + kQivohost + "' " + args + " >'" + out + "' 2>'" + err + "'";
    RunResult result;
    const int raw = std::system(command.c_str());
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = qivo_test::ReadFile(out);
    result.err = qivo_test::ReadFile(err);
    return result;
}

int Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (auto pos = text.find(part); pos != std::string::npos; pos = text.find(part, pos + 1)) ++n;
    return n;
}

TEST(QivohostTest, OpensADescriptorInAnotherFolderWithABareFileName) {
    qivo_test::TempDir dir;
    const std::string clips = dir.Folder("clips");
    const std::string elsewhere = dir.Folder("elsewhere");
    qivo_test::WriteRawClip(clips + "/clip.yuv", 64, 48, 5);
    const std::string descriptor = clips + "/clip.qivo";
    qivo_test::WriteFile(descriptor, "[Video]\nfilename=clip.yuv\nwidth=64\nheight=48\nframe_rate=30000/1001\n");
    // A file of the same name in the working folder must not be the one opened.
    qivo_test::WriteRawClip(elsewhere + "/clip.yuv", 64, 48, 9);

    const RunResult run = RunHost(dir, elsewhere, "open '" + descriptor + "'");
    EXPECT_EQ(run.status, 0) << run.out << run.err;
    EXPECT_NE(run.out.find("start-up (0): 0, success"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("file format (14), index 0: 0, success; type 'QIVO', \"QIVO Import Descriptor\", "
                           "\"QIVO File\", extensions \"qivo\""),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("open (39) " + descriptor + ": 0, success; file type 'QIVO'"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("close (9): 0, success"), std::string::npos) << run.out;
    EXPECT_NE(qivo_test::ReadFile(descriptor).find("num_frames=5"), std::string::npos);

    // One message when the plug-in is loaded and one when it is released, naming the file.
    EXPECT_EQ(Count(run.err, "Adobe Premiere: loading library libQIVOImport.so.\n"), 1) << run.err;
    EXPECT_EQ(Count(run.err, "Adobe Premiere: releasing library libQIVOImport.so.\n"), 1) << run.err;
    EXPECT_EQ(Count(run.err, "Adobe Premiere:"), 2) << run.err;
}

TEST(QivohostTest, ReportsARefusedOpen) {
    qivo_test::TempDir dir;
    const std::string descriptor = dir.File("broken.qivo");
    qivo_test::WriteFile(descriptor, "[Video]\nfilename=missing.264\ncodec=h264\n");
    const RunResult run = RunHost(dir, dir.Path(), "open '" + descriptor + "'");
    EXPECT_EQ(run.status, 1) << run.out << run.err;
    EXPECT_NE(run.out.find("open (39) " + descriptor + ": 2, the clip cannot be opened"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("close (9): 0, success"), std::string::npos) << run.out;
}

TEST(QivohostTest, UsageAndForeignFiles) {
    qivo_test::TempDir dir;
    EXPECT_EQ(RunHost(dir, dir.Path(), "").status, 2);
    EXPECT_EQ(RunHost(dir, dir.Path(), "play x.qivo").status, 2);
    const RunResult foreign = RunHost(dir, dir.Path(), "open clip.txt");
    EXPECT_EQ(foreign.status, 2);
    EXPECT_NE(foreign.err.find("not a file of this importer"), std::string::npos) << foreign.err;
}

}  // namespace
