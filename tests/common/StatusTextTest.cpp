#include <gtest/gtest.h>

#include <string>

#include "common/StatusText.h"

using qivo::StatusText;

TEST(StatusText, MapsStatusesAndRanges) {
    const struct {
        int status;
        const char* text;
    } cases[] = {
        {0, ""},
        {-1, "unknown error"},
        {-3, "undeveloped feature"},
        {-10, "expect more data at input"},
        {-14, "incompatible video parameters"},
        {5, "incompatible video parameters"},
        {-19, "incompatible audio parameters"},
        {11, "incompatible audio parameters"},
        {-20, "invalid audio parameters"},
        {1, "the previous asynchrous operation is in execution"},
        {12, "unspecified warning"},
        {-21, "unspecified error"},
        {2147483647, "unspecified warning"},
        {-2147483647 - 1, "unspecified error"},
    };
    for (const auto& c : cases) EXPECT_EQ(std::string(StatusText(c.status)), c.text) << c.status;
}
