#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <dirent.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/ProfileFile.h"

using platform::ProfileFile;

namespace {

class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/qivo_profile_XXXXXX";
        path_ = ::mkdtemp(name);
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    std::string File(const std::string& name) const { return path_ + "/" + name; }
    int Entries() const {
        int n = 0;
        if (DIR* d = ::opendir(path_.c_str())) {
            while (dirent* e = ::readdir(d)) n += e->d_name[0] != '.';
            ::closedir(d);
        }
        return n;
    }

private:
    std::string path_;
};

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::string Utf16Le(const std::u16string& text) {
    std::string bytes = "\xFF\xFE";
    for (char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

const char kDescriptor[] =
    "; clip\n"
    "[video]\n"
    "  FileName = clip.264  \n"
    "codec=h264\n"
    "CODEC=mpeg2\n"
    "title=\"  quoted  \"\n"
    "async=12abc\n"
    "cache=abc\n"
    "neg=-7\n"
    "huge=99999999999\n"
    "[Audio]\n"
    "filename=sound.pcm\n"
    "[VIDEO]\n"
    "width=640\n";

}  // namespace

TEST(ProfileFile, LookupRules) {
    const ProfileFile file = ProfileFile::Parse(kDescriptor);
    const struct {
        const char* section;
        const char* key;
        const char* expected;  // nullptr: absent
    } cases[] = {
        {"Video", "filename", "clip.264"},       // names ignore case, blanks trimmed
        {"VIDEO", "codec", "h264"},              // first match wins
        {"Video", "title", "  quoted  "},        // one pair of quotes removed
        {"Audio", "filename", "sound.pcm"},
        {"Video", "width", nullptr},             // only the first [Video] section counts
        {"Video", "; clip", nullptr},
        {"Missing", "codec", nullptr},
    };
    for (const auto& c : cases) {
        const auto value = file.Get(c.section, c.key);
        if (c.expected) {
            ASSERT_TRUE(value.has_value()) << c.key;
            EXPECT_EQ(*value, c.expected);
        } else {
            EXPECT_FALSE(value.has_value()) << c.key;
        }
    }
    EXPECT_EQ(file.GetString("Video", "layout", "none"), "none");
}

TEST(ProfileFile, IntegersFromTheLeadingNumber) {
    const ProfileFile file = ProfileFile::Parse(kDescriptor);
    EXPECT_EQ(file.GetInt("Video", "async", 4), 12);
    EXPECT_EQ(file.GetInt("Video", "cache", 5), 0);
    EXPECT_EQ(file.GetInt("Video", "absent", 4), 4);
    EXPECT_EQ(file.GetInt("Video", "neg", 0), -7);
    EXPECT_EQ(file.GetInt("Video", "huge", 0), 2147483647);
}

TEST(ProfileFile, ValuesAreCutTo259Characters) {
    const std::string longValue(300, 'a');
    const ProfileFile file = ProfileFile::Parse("[Video]\nfilename=" + longValue + "\n");
    EXPECT_EQ(*file.Get("Video", "filename"), std::string(259, 'a'));
}

TEST(ProfileFile, EncodingsAndLineEndsReadAlike) {
    const std::string crlf = "[Video]\r\ncodec=vc1\r\nwidth=720\r\n";
    const std::string variants[] = {
        crlf,
        "\xEF\xBB\xBF" + crlf,
        Utf16Le(u"[Video]\r\ncodec=vc1\r\nwidth=720\r\n"),
        "[Video]\ncodec=vc1\nwidth=720",
    };
    for (const auto& bytes : variants) {
        const ProfileFile file = ProfileFile::Parse(bytes);
        EXPECT_EQ(file.GetString("Video", "codec", ""), "vc1");
        EXPECT_EQ(file.GetInt("Video", "width", 0), 720);
    }
}

TEST(ProfileFile, MissingFileReadsAsEmpty) {
    const ProfileFile file = ProfileFile::Load("/nonexistent/clip.qivo");
    EXPECT_FALSE(file.Get("Video", "codec").has_value());
}

TEST(WriteProfileString, ChangesOneKeyAndKeepsEveryOtherByte) {
    TempDir dir;
    const struct {
        std::string before;
        std::string after;
    } cases[] = {
        // replace in place, other keys, comments, blanks and the missing final line end kept
        {"; mine\r\n[Video]\r\n Num_Frames = 12 \r\ncodec=h264\r\n\r\n[Audio]\r\nx=1",
         "; mine\r\n[Video]\r\n Num_Frames =250\r\ncodec=h264\r\n\r\n[Audio]\r\nx=1"},
        // add to the end of the section, before the blank line, with the file's LF line ends
        {"[video]\ncodec=h264\n\n[Audio]\n", "[video]\ncodec=h264\nnum_frames=250\n\n[Audio]\n"},
        // section at the end of a file without a final line end
        {"[Video]\ncodec=h264", "[Video]\ncodec=h264\nnum_frames=250\n"},
        // section missing: appended
        {"[Audio]\r\nx=1\r\n", "[Audio]\r\nx=1\r\n[Video]\r\nnum_frames=250\r\n"},
        // UTF-8 BOM kept
        {"\xEF\xBB\xBF[Video]\nnum_frames=0\n", "\xEF\xBB\xBF[Video]\nnum_frames=250\n"},
        // UTF-16LE stays UTF-16LE
        {Utf16Le(u"[Video]\r\nfilename=é.ts\r\nnum_frames=0\r\n"),
         Utf16Le(u"[Video]\r\nfilename=é.ts\r\nnum_frames=250\r\n")},
    };
    for (const auto& c : cases) {
        const std::string path = dir.File("clip.qivo");
        Write(path, c.before);
        ASSERT_TRUE(platform::WriteProfileString(path, "Video", "num_frames", "250"));
        EXPECT_EQ(Read(path), c.after);
        EXPECT_EQ(ProfileFile::Load(path).GetInt("Video", "num_frames", 0), 250);
    }
    EXPECT_EQ(dir.Entries(), 1);  // no temporary file left behind
}

TEST(WriteProfileString, CreatesAMissingFileAndWritesThroughLinks) {
    TempDir dir;
    ASSERT_TRUE(platform::WriteProfileString(dir.File("new.qivo"), "Video", "num_frames", "3"));
    EXPECT_EQ(Read(dir.File("new.qivo")), "[Video]\r\nnum_frames=3\r\n");

    Write(dir.File("real.qivo"), "[Video]\nnum_frames=1\n");
    ASSERT_EQ(::symlink(dir.File("real.qivo").c_str(), dir.File("link.qivo").c_str()), 0);
    ASSERT_TRUE(platform::WriteProfileString(dir.File("link.qivo"), "Video", "num_frames", "2"));
    EXPECT_EQ(Read(dir.File("real.qivo")), "[Video]\nnum_frames=2\n");
}

TEST(WriteProfileString, FailureMidWriteLeavesTheOriginalUntouched) {
    TempDir dir;
    const std::string path = dir.File("clip.qivo");
    const std::string original = "[Video]\nfilename=clip.ts\nnum_frames=0\n" + std::string(4000, ';') + "\n";
    Write(path, original);

    // A file-size limit below the new file's size makes the write fail halfway, as a full
    // disk would. Done in a child so the limit never touches this process.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::_exit(platform::WriteProfileString(path, "Video", "num_frames", "99") ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(Read(path), original);
    EXPECT_EQ(dir.Entries(), 1);
}
