// The command line of tarvo-find: FIND_TEXT and PATH_TEXT parsed exactly
// like the window's Find and Path boxes, and options that switch the same
// search options and filters the menu sets. With --files only PATH_TEXT is
// given.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "results/sort_mode.h"

namespace tarvo {

enum class OutputFormat { Text, Vimgrep, Tsv, Jsonl };
enum class ColorMode { Auto, Always, Never };

struct CliOptions {
    std::string findText;
    std::string pathText;  // empty: not given, the current directory

    // Set only when given on the command line: they override what a
    // settings file says, for this run only.
    std::optional<bool> recursive, skipBinaryFiles, searchFileNames;
    std::optional<bool> caseSensitiveBonus, wholeWordBonus, cppHeuristics;
    std::optional<std::string> excludeList, highlightList;
    std::optional<bool> skipIgnoredFiles;
    std::optional<std::string> includeList, skipFolders;
    std::optional<SortMode> sortMode;
    std::optional<int32_t> tabWidth;

    int32_t top = -1;  // -1: every result (with -l: every file)
    OutputFormat format = OutputFormat::Text;
    bool rank = false;              // rank and score in front of each text record
    bool filesWithMatches = false;  // -l: each file once, in the order of its best line
    bool nullAfterPath = false;     // a NUL after each path
    ColorMode color = ColorMode::Auto;
    bool stats = false;
    bool listFiles = false;    // --files: the files a search would read, not read
    int32_t threads = 0;       // scanners side by side; 0: one per processor core
    std::string settingsFile;  // empty: stateless
    bool help = false;
    bool version = false;
};

struct CliParse {
    CliOptions options;
    std::string error;  // empty when the command line is valid
};

CliParse parseCommandLine(int argc, const char* const* argv);

// Whether terms are coloured. `terminal`: stdout is a terminal;
// `colorCodesShow`: it shows colour codes as colour (a Windows console
// without virtual-terminal processing prints them as text, so it never gets
// them). Auto also stays plain when NO_COLOR is set and not empty, or when
// TERM is "dumb".
bool useColor(ColorMode mode, bool terminal, bool colorCodesShow, const char* noColor,
              const char* term);

// Scanners beyond this many per processor core only take memory (each
// holds its read window and its queue of files): the cores and the disk
// bound the reading long before.
inline constexpr int32_t kThreadsPerCore = 4;
// Nor more than this many on any machine.
inline constexpr int32_t kMaxThreads = 256;

// The scanners a run uses when `asked` for them (0: one per core), on a
// processor of `cores` cores (0 when unknown, taken as one): at most
// kThreadsPerCore per core and kMaxThreads.
int32_t threadCount(int32_t asked, int32_t cores);

// What --help prints, and what follows a usage error: made from the table.
const std::string& usageText();

}  // namespace tarvo
