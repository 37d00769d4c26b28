#pragma once
// Host-facing texts are UTF-16; the system works in UTF-8 inside.

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

// Invalid sequences become U+FFFD rather than being dropped, so a damaged name stays visible.
std::string Utf16ToUtf8(std::u16string_view text);
std::u16string Utf8ToUtf16(std::string_view text);

// Reads a zero-terminated UTF-16 text of at most capacity units (the host's fixed buffers).
std::string FromHostText(const char16_t* text, std::size_t capacity);
// Writes text into a host buffer of capacity units, always terminated, cut when too long.
// Returns false when the text had to be cut.
bool ToHostText(std::string_view text, char16_t* buffer, std::size_t capacity);

}  // namespace platform
