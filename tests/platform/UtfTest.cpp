#include <gtest/gtest.h>

#include "platform/Utf.h"

using namespace platform;

TEST(Utf, RoundTripsAllPlanes) {
    const std::string text = "clip \xC3\xA9t\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x8E\xAC.qivo";
    const std::u16string wide = Utf8ToUtf16(text);
    EXPECT_EQ(wide, u"clip été € 🎬.qivo");
    EXPECT_EQ(Utf16ToUtf8(wide), text);
}

TEST(Utf, BrokenSequencesBecomeReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("a\x80z"), u"a\uFFFDz");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD");  // overlong '/'
    EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800)) + u"x"), "\xEF\xBF\xBDx");
}

TEST(Utf, HostBuffersAreBoundedAndTerminated) {
    char16_t buffer[5];
    EXPECT_TRUE(ToHostText("abcd", buffer, 5));
    EXPECT_EQ(std::u16string(buffer), u"abcd");
    EXPECT_FALSE(ToHostText("abcdef", buffer, 5));
    EXPECT_EQ(std::u16string(buffer), u"abcd");
    EXPECT_FALSE(ToHostText("abc\xF0\x9F\x8E\xAC", buffer, 5));  // a pair is never split
    EXPECT_EQ(std::u16string(buffer), u"abc");

    const char16_t unterminated[3] = {u'x', u'y', u'z'};
    EXPECT_EQ(FromHostText(unterminated, 3), "xyz");
    EXPECT_EQ(FromHostText(nullptr, 3), "");
}
