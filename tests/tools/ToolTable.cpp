#include "ToolTable.h"

#include "ToolProcess.h"

#include <gtest/gtest.h>

std::optional<std::string> AfterVersionLine(const std::string& text, const std::string& line) {
    // line holds "%s" where the build date goes.
    const auto at = line.find("%s");
    const std::string head = line.substr(0, at);
    const std::string tail = line.substr(at + 2);
    if (text.compare(0, head.size(), head) != 0) return std::nullopt;
    // The build date as "Dec  3 2013": month, day right-aligned in two places, year.
    const std::string rest = text.substr(head.size());
    static const std::string kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (rest.size() < 11) return std::nullopt;
    const auto month = kMonths.find(rest.substr(0, 3));
    if (month == std::string::npos || month % 3 != 0) return std::nullopt;
    if (rest[3] != ' ' || !(rest[4] == ' ' || (rest[4] >= '1' && rest[4] <= '3')) ||
        !digit(rest[5]) || rest[6] != ' ' || !digit(rest[7]) || !digit(rest[8]) ||
        !digit(rest[9]) || !digit(rest[10]))
        return std::nullopt;
    const std::string after = rest.substr(11);
    if (after.compare(0, tail.size(), tail) != 0) return std::nullopt;
    return after.substr(tail.size());
}

std::string Resolve(std::string text, const ScratchFolder& folder) {
    for (auto at = text.find("@/"); at != std::string::npos; at = text.find("@/", at)) {
        text.replace(at, 1, folder.Path());
        at += folder.Path().size();
    }
    return text;
}

void PrintTo(const ToolCase& c, std::ostream* os) {
    *os << '[';
    for (std::size_t i = 0; i < c.args.size(); ++i) *os << (i ? " " : "") << c.args[i];
    *os << ']';
}

void ExpectFiles(const ToolCase& c, const ScratchFolder& folder) {
    for (const auto& [name, bytes] : c.files) {
        SCOPED_TRACE(name);
        if (!bytes) {
            EXPECT_FALSE(folder.Exists(name));
        } else {
            ASSERT_TRUE(folder.Exists(name));
            EXPECT_EQ(folder.Read(name), *bytes);
        }
    }
}
