#pragma once
// INI ("profile") files as the clip descriptor uses them: case-insensitive section and key
// names, the first match wins, values cut to 259 characters, integers read from the leading
// number. Files are UTF-8 (with or without BOM) or UTF-16LE with BOM, LF or CRLF.

#include <optional>
#include <string>
#include <string_view>

namespace platform {

class ProfileFile {
public:
    // Longest value kept, in UTF-16 units (the host's buffers hold 260 with the terminator).
    static constexpr std::size_t kMaxValue = 259;

    // A missing or unreadable file reads as empty, so every key takes its default.
    static ProfileFile Load(const std::string& path);
    static ProfileFile Parse(std::string_view bytes);

    // The value of the first matching key of the first matching section, trimmed of blanks
    // and of one pair of enclosing quotes; nullopt when the key is absent.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;
    std::string GetString(std::string_view section, std::string_view key, std::string_view fallback) const;
    // Absent: fallback. Present without a leading number: 0.
    int GetInt(std::string_view section, std::string_view key, int fallback) const;

private:
    std::string text_;  // the whole file, UTF-8, line ends as they were
};

// Sets one key (replacing its first occurrence, or adding it at the end of the section, or
// adding the section at the end of the file) and keeps every other byte as it was, in the
// file's own encoding and line ends. The file is replaced atomically: a failure at any point
// leaves the original untouched. Returns false with errno set on failure.
bool WriteProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value);

}  // namespace platform
