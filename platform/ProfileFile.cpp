#include "platform/ProfileFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileHandle.h"
#include "platform/Utf.h"

namespace platform {
namespace {

enum class Encoding { Utf8, Utf8Bom, Utf16LeBom };

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

Encoding Detect(std::string_view bytes) {
    if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') return Encoding::Utf16LeBom;
    if (bytes.substr(0, 3) == kUtf8Bom) return Encoding::Utf8Bom;
    return Encoding::Utf8;
}

std::u16string DecodeUtf16Le(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    }
    return units;
}

std::string EncodeUtf16Le(std::u16string_view units) {
    std::string bytes(units.size() * 2, '\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return bytes;
}

template <typename Ch>
bool IsBlank(Ch c) {
    return c == ' ' || c == '\t';
}

template <typename Ch>
bool SameName(std::basic_string_view<Ch> a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto x = static_cast<char32_t>(a[i]);
        auto y = static_cast<char32_t>(static_cast<unsigned char>(b[i]));
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return false;
    }
    return true;
}

template <typename Ch>
std::basic_string_view<Ch> Trim(std::basic_string_view<Ch> s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// Where a key lives in a file, in code units of the file's own text.
struct Location {
    bool sectionFound = false;
    std::size_t insertAt = 0;   // after the section's last non-blank line (when the key is absent)
    bool keyFound = false;
    std::size_t lineStart = 0;  // the key's line, without its line end
    std::size_t lineEnd = 0;
    std::size_t valueStart = 0;
};

template <typename Ch>
Location Find(std::basic_string_view<Ch> text, std::string_view section, std::string_view key) {
    Location loc;
    bool inSection = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find(Ch('\n'), pos);
        const std::size_t next = end == std::basic_string_view<Ch>::npos ? text.size() : end + 1;
        if (end == std::basic_string_view<Ch>::npos) end = text.size();
        std::size_t contentEnd = end;
        if (contentEnd > pos && text[contentEnd - 1] == Ch('\r')) --contentEnd;
        const auto line = Trim(text.substr(pos, contentEnd - pos));

        if (!line.empty() && line.front() == Ch('[')) {
            if (inSection) return loc;  // only the first matching section counts
            const std::size_t close = line.find(Ch(']'));
            const auto name = Trim(line.substr(1, close == line.npos ? line.npos : close - 1));
            if (SameName(name, section)) {
                inSection = true;
                loc.sectionFound = true;
                loc.insertAt = next;
            }
        } else if (inSection && !line.empty()) {
            loc.insertAt = next;
            const std::size_t eq = line.find(Ch('='));
            if (line.front() != Ch(';') && eq != line.npos && SameName(Trim(line.substr(0, eq)), key)) {
                loc.keyFound = true;
                loc.lineStart = pos;
                loc.lineEnd = contentEnd;
                loc.valueStart = static_cast<std::size_t>(line.data() + eq + 1 - text.data());
                return loc;
            }
        }
        pos = next;
    }
    return loc;
}

std::string ReadAll(const std::string& path, bool* ok) {
    std::string bytes;
    FileHandle file = FileHandle::OpenRead(path);
    *ok = file.Valid();
    if (!*ok) return bytes;
    char block[65536];
    for (;;) {
        const std::int64_t n = file.Read(block, sizeof block);
        if (n < 0) {
            *ok = false;
            return {};
        }
        if (n == 0) break;
        bytes.append(block, static_cast<std::size_t>(n));
    }
    return bytes;
}

template <typename Ch>
std::basic_string<Ch> Widen(std::string_view ascii) {
    return std::basic_string<Ch>(ascii.begin(), ascii.end());
}

// Edits one key in a text of the file's own code units.
template <typename Ch>
std::basic_string<Ch> Edit(std::basic_string<Ch> text, std::string_view section, std::string_view key,
                           const std::basic_string<Ch>& value) {
    const std::basic_string_view<Ch> view(text);
    const bool crlf = view.find(Ch('\n')) == view.npos || view.find(Widen<Ch>("\r\n")) != view.npos;
    const std::basic_string<Ch> eol = Widen<Ch>(crlf ? "\r\n" : "\n");
    const Location loc = Find(view, section, key);
    if (loc.keyFound) {
        return text.replace(loc.valueStart, loc.lineEnd - loc.valueStart, value);
    }
    const std::basic_string<Ch> entry = Widen<Ch>(key) + Ch('=') + value + eol;
    if (loc.sectionFound) {
        std::basic_string<Ch> insert = entry;
        // A section that ends the file without a line end needs one before the new line.
        if (loc.insertAt > 0 && text[loc.insertAt - 1] != Ch('\n')) insert = eol + insert;
        return text.insert(loc.insertAt, insert);
    }
    if (!text.empty() && text.back() != Ch('\n')) text += eol;
    return text + Ch('[') + Widen<Ch>(section) + Ch(']') + eol + entry;
}

bool ReplaceFile(const std::string& path, const std::string& bytes) {
    // Write beside the real file (not beside a link to it) so the rename stays on one file system.
    char resolved[PATH_MAX];
    const std::string target = ::realpath(path.c_str(), resolved) ? std::string(resolved) : path;

    const std::string temp = target + ".qivo-" + std::to_string(::getpid()) + ".tmp";
    FileHandle out(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!out.Valid()) return false;

    struct stat st{};
    const bool ok = out.WriteAll(bytes.data(), bytes.size()) &&
                    (::stat(target.c_str(), &st) != 0 || ::fchmod(out.Fd(), st.st_mode & 07777) == 0) &&
                    ::fsync(out.Fd()) == 0;
    const int writeError = errno;
    out.Close();
    if (!ok || ::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = ok ? errno : writeError;
        ::unlink(temp.c_str());
        errno = error;
        return false;
    }
    return true;
}

}  // namespace

ProfileFile ProfileFile::Load(const std::string& path) {
    bool ok = false;
    const std::string bytes = ReadAll(path, &ok);
    return Parse(ok ? std::string_view(bytes) : std::string_view());
}

ProfileFile ProfileFile::Parse(std::string_view bytes) {
    ProfileFile file;
    switch (Detect(bytes)) {
        case Encoding::Utf16LeBom: file.text_ = Utf16ToUtf8(DecodeUtf16Le(bytes.substr(2))); break;
        case Encoding::Utf8Bom: file.text_ = bytes.substr(3); break;
        case Encoding::Utf8: file.text_ = bytes; break;
    }
    return file;
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
    const std::string_view text(text_);
    const Location loc = Find(text, section, key);
    if (!loc.keyFound) return std::nullopt;
    auto value = Trim(text.substr(loc.valueStart, loc.lineEnd - loc.valueStart));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
    std::u16string wide = Utf8ToUtf16(value);
    if (wide.size() > kMaxValue) {
        std::size_t n = kMaxValue;
        if (wide[n - 1] >= 0xD800 && wide[n - 1] <= 0xDBFF) --n;  // never half a surrogate pair
        wide.resize(n);
        return Utf16ToUtf8(wide);
    }
    return std::string(value);
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key, std::string_view fallback) const {
    auto value = Get(section, key);
    return value ? *value : std::string(fallback);
}

int ProfileFile::GetInt(std::string_view section, std::string_view key, int fallback) const {
    const auto value = Get(section, key);
    if (!value) return fallback;
    const char* p = value->c_str();
    bool negative = false;
    if (*p == '-' || *p == '+') negative = *p++ == '-';
    long long n = 0;
    for (; *p >= '0' && *p <= '9'; ++p) {
        n = n * 10 + (*p - '0');
        if (n > INT_MAX) n = static_cast<long long>(INT_MAX) + 1;  // saturate; never overflow
    }
    n = negative ? -n : n;
    if (n > INT_MAX) return INT_MAX;
    if (n < INT_MIN) return INT_MIN;
    return static_cast<int>(n);
}

bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value) {
    bool exists = false;
    const std::string bytes = ReadAll(path, &exists);
    if (!exists && errno != ENOENT) return false;

    std::string updated;
    switch (Detect(bytes)) {
        case Encoding::Utf16LeBom: {
            const std::u16string units = DecodeUtf16Le(std::string_view(bytes).substr(2));
            updated = bytes.substr(0, 2) + EncodeUtf16Le(Edit(units, section, key, Utf8ToUtf16(value)));
            // An odd trailing byte is not ours to judge: keep it.
            if (bytes.size() % 2 == 1) updated += bytes.back();
            break;
        }
        case Encoding::Utf8Bom:
            updated = kUtf8Bom + Edit(bytes.substr(3), section, key, std::string(value));
            break;
        case Encoding::Utf8:
            updated = Edit(bytes, section, key, std::string(value));
            break;
    }
    return ReplaceFile(path, updated);
}

}  // namespace platform
