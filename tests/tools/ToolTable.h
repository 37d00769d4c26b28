#pragma once
// A table case for a copy tool run in a fresh folder: the arguments, and what must come out
// of it on standard output, standard error, the exit code and the files.

#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

struct ToolCase {
    std::vector<std::string> args;
    int code;
    std::string out;  // standard output after the version line (tubexfer prints it first)
    std::string err;
    // Files to check afterwards: name and bytes, or nullopt for "must not exist".
    std::vector<std::pair<std::string, std::optional<std::string>>> files;
};

// Names a case by its command line in test listings.
void PrintTo(const ToolCase& c, std::ostream* os);

// Matches "<tool> version <v> (build: Mmm dd yyyy) - <what>\n\n" at the start of text and
// returns the rest, or nullopt when the line is not there.
std::optional<std::string> AfterVersionLine(const std::string& text, const std::string& line);

class ScratchFolder;
// "@/" in a case stands for the scratch folder's absolute path.
std::string Resolve(std::string text, const ScratchFolder& folder);

// Checks the case's files in the folder after the run.
void ExpectFiles(const ToolCase& c, const ScratchFolder& folder);
