#include "ToolTable.h"

#include <regex>

#include "ToolProcess.h"

std::optional<std::string> AfterVersionLine(const std::string& text, const std::string& line) {
    // line holds "%s" where the build date goes.
    const auto at = line.find("%s");
    const std::string head = line.substr(0, at);
    const std::string tail = line.substr(at + 2);
    if (text.compare(0, head.size(), head) != 0) return std::nullopt;
    static const std::regex date("^(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) [ 123][0-9] [0-9]{4}");
    const std::string rest = text.substr(head.size());
    std::smatch match;
    if (!std::regex_search(rest, match, date)) return std::nullopt;
    const std::string after = rest.substr(match.length());
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
