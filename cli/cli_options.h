// Room cli/: tarvo-find, the terminal front end over app/, results/,
// view/ and engine/.
//
// The command line of tarvo-find: FIND_TEXT and PATH_TEXT parsed exactly
// like the window's Find and Path boxes, and options that switch the same
// six search options the menu toggles.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace tarvo {

enum class OutputFormat { Text, Tsv, Jsonl };
enum class ColorMode { Auto, Always, Never };

struct CliOptions {
    std::string findText;
    std::string pathText;  // empty: the current directory

    // Set only when given on the command line: they override what a
    // settings file says, for this run only.
    std::optional<int32_t> recursive, skipBinaryFiles, searchFileNames;
    std::optional<int32_t> caseSensitiveBonus, wholeWordBonus, cppHeuristics;
    std::optional<std::string> excludeList, highlightList;
    std::optional<int32_t> sortMode;

    int32_t top = -1;  // -1: every result
    OutputFormat format = OutputFormat::Text;
    ColorMode color = ColorMode::Auto;
    bool stats = false;
    std::string settingsFile;  // empty: stateless
    bool help = false;
    bool version = false;
};

struct CliParse {
    CliOptions options;
    std::string error;  // empty when the command line is valid
};

CliParse parseCommandLine(int argc, const char* const* argv);

extern const char* const kUsage;

}  // namespace tarvo
