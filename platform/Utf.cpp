#include "platform/Utf.h"

namespace platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void AppendUtf16(std::u16string& out, char32_t c) {
    if (c < 0x10000) {
        out += static_cast<char16_t>(c);
    } else {
        c -= 0x10000;
        out += static_cast<char16_t>(0xD800 | (c >> 10));
        out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
    }
}

}  // namespace

std::string Utf16ToUtf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = kReplacement;
        }
        AppendUtf8(out, c);
    }
    return out;
}

std::u16string Utf8ToUtf16(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        const auto b = static_cast<unsigned char>(text[i]);
        int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
        char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
        bool ok = extra >= 0;
        for (int k = 1; ok && k <= extra; ++k) {
            if (i + k >= text.size()) {
                ok = false;
            } else {
                const auto cb = static_cast<unsigned char>(text[i + k]);
                ok = (cb & 0xC0) == 0x80;
                c = (c << 6) | (cb & 0x3F);
            }
        }
        static constexpr char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (!ok || c < kMin[extra < 0 ? 0 : extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            AppendUtf16(out, kReplacement);
            ++i;
            continue;
        }
        AppendUtf16(out, c);
        i += static_cast<std::size_t>(extra) + 1;
    }
    return out;
}

std::string FromHostText(const char16_t* text, std::size_t capacity) {
    if (!text) return {};
    std::size_t n = 0;
    while (n < capacity && text[n] != 0) ++n;
    return Utf16ToUtf8(std::u16string_view(text, n));
}

bool ToHostText(std::string_view text, char16_t* buffer, std::size_t capacity) {
    if (!buffer || capacity == 0) return text.empty();
    const std::u16string wide = Utf8ToUtf16(text);
    std::size_t n = wide.size() < capacity ? wide.size() : capacity - 1;
    // Never leave half a surrogate pair at the cut.
    if (n < wide.size() && n > 0 && wide[n - 1] >= 0xD800 && wide[n - 1] <= 0xDBFF) --n;
    wide.copy(buffer, n);
    buffer[n] = 0;
    return n == wide.size();
}

}  // namespace platform
