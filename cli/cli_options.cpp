#include "cli/cli_options.h"

#include <charconv>
#include <cstring>
#include <string_view>

#include "engine/path_list.h"
#include "engine/search_request.h"
#include "results/result_store.h"

namespace tarvo {

const char* const kUsage =
    "Usage: tarvo-find [options] FIND_TEXT [PATH_TEXT]\n"
    "\n"
    "Searches the ';'-separated roots of PATH_TEXT (default: the current directory)\n"
    "for the terms of FIND_TEXT and prints the best lines first, at most 9,999.\n"
    "FIND_TEXT: terms separated by blanks; \"a b\" is one term; \\t \\n \\r \\\" \\\\ escapes.\n"
    "\n"
    "Search options (all on by default):\n"
    "  --no-recursive        do not descend into subdirectories\n"
    "  --search-binary       read files holding NUL bytes too\n"
    "  --no-file-names       do not match terms in file paths\n"
    "  --no-case-bonus       no bonus for exact letter case\n"
    "  --no-word-bonus       no bonus for whole-word occurrences\n"
    "  --no-cpp-heuristics   no bonus for lines shaped like C/C++ definitions\n"
    "  --exclude LIST        skip files whose path ends with an item of LIST (a;b;c)\n"
    "  --highlight LIST      syntax-highlighting list (default .c;.cpp;.cxx;.h)\n"
    "\n"
    "Output:\n"
    "  --format text         PATH:LINE:TEXT per result (the default)\n"
    "  --format vimgrep      PATH:LINE:COLUMN:TEXT, COLUMN the byte of the first term\n"
    "  --format tsv|jsonl    rank, score, path, line and text as fields\n"
    "  --rank                RANK:SCORE: in front of each text or vimgrep line\n"
    "  -l, --files-with-matches   each file with a result once, by its best line\n"
    "  --null                a NUL after each path, for odd file names\n"
    "  --sort rank|name|line order of the output (default rank)\n"
    "  --top N               print at most N results (with -l, N files)\n"
    "  --color auto|always|never   mark terms on a yellow background\n"
    "  --stats               print the status line on stderr\n"
    "  -j, --threads N       read N files side by side (default: one per core);\n"
    "                        the output is the same for every N\n"
    "  --settings FILE       read options, lists, sort order and remembered files from\n"
    "                        FILE, search the remembered files under PATH_TEXT's roots\n"
    "                        first, and write the file memory back\n"
    "  --help, --version\n"
    "\n"
    "On a terminal, text and vimgrep lines are cut to 150 bytes with tabs expanded, and\n"
    "control bytes are shown as ^X, \\n or \\r in every format; into a pipe, each line is\n"
    "printed whole, as in the file. TSV and JSONL always carry the whole line.\n"
    "\n"
    "Exit status: 0 results found, 1 none, 2 usage error, a settings file that cannot\n"
    "be used or output that could not be written, 130 interrupted.\n";

namespace {

bool parseCount(std::string_view text, int32_t& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// The six switches that turn an option off (or, for binary files, on).
struct Switch {
    const char* name;
    std::optional<int32_t> CliOptions::*option;
    int32_t value;
};

constexpr Switch kSwitches[] = {
    {"--no-recursive", &CliOptions::recursive, 0},
    {"--search-binary", &CliOptions::skipBinaryFiles, 0},
    {"--no-file-names", &CliOptions::searchFileNames, 0},
    {"--no-case-bonus", &CliOptions::caseSensitiveBonus, 0},
    {"--no-word-bonus", &CliOptions::wholeWordBonus, 0},
    {"--no-cpp-heuristics", &CliOptions::cppHeuristics, 0},
};

}  // namespace

CliParse parseCommandLine(int argc, const char* const* argv) {
    CliParse parse;
    CliOptions& options = parse.options;
    int positional = 0;
    bool optionsEnded = false;

    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (!optionsEnded && arg == "-l") {
            options.filesWithMatches = true;
            continue;
        }
        // "-j N" or "-jN"
        if (!optionsEnded && arg.substr(0, 2) == "-j") {
            std::string_view count = arg.substr(2);
            if (count.empty() && i + 1 < argc) count = argv[++i];
            if (!parseCount(count, options.threads) || options.threads == 0) {
                parse.error = "-j and --threads take a count of 1 or more";
                return parse;
            }
            continue;
        }
        // A lone "-" is text; any other word starting with '-' is an option
        // until "--" (a search for "-x" is written "-- -x").
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            if (positional == 0) {
                options.findText = cutToTextLimit(arg);
            } else if (positional == 1) {
                options.pathText = cutToTextLimit(arg);
                // Without PATH_TEXT the current directory is searched; one
                // given empty (or only ";" and blanks) is a mistake.
                if (parsePathList(options.pathText).empty()) {
                    parse.error = "PATH_TEXT names no folder or file";
                    return parse;
                }
            } else {
                parse.error = "too many arguments: " + std::string(arg);
                return parse;
            }
            ++positional;
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        // "--name=value" or "--name value"
        std::string_view name = arg;
        std::optional<std::string_view> inlineValue;
        if (size_t eq = arg.find('='); eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        auto value = [&](std::string_view& out) {
            if (inlineValue) {
                out = *inlineValue;
                return true;
            }
            if (i + 1 >= argc) {
                parse.error = "option " + std::string(name) + " needs a value";
                return false;
            }
            out = argv[++i];
            return true;
        };

        bool matched = false;
        for (const Switch& s : kSwitches) {
            if (name == s.name && !inlineValue) {
                options.*(s.option) = s.value;
                matched = true;
            }
        }
        if (matched) continue;

        std::string_view v;
        if (name == "--help" && !inlineValue) {
            options.help = true;
        } else if (name == "--version" && !inlineValue) {
            options.version = true;
        } else if (name == "--stats" && !inlineValue) {
            options.stats = true;
        } else if (name == "--rank" && !inlineValue) {
            options.rank = true;
        } else if (name == "--files-with-matches" && !inlineValue) {
            options.filesWithMatches = true;
        } else if (name == "--null" && !inlineValue) {
            options.nullAfterPath = true;
        } else if (name == "--exclude") {
            if (!value(v)) return parse;
            options.excludeList = cutToTextLimit(v);
        } else if (name == "--highlight") {
            if (!value(v)) return parse;
            options.highlightList = cutToTextLimit(v);
        } else if (name == "--settings") {
            if (!value(v)) return parse;
            if (v.empty()) {
                parse.error = "--settings takes a file";
                return parse;
            }
            options.settingsFile = std::string(v);
        } else if (name == "--sort") {
            if (!value(v)) return parse;
            if (v == "rank") {
                options.sortMode = ByRank;
            } else if (v == "name") {
                options.sortMode = ByFileName;
            } else if (v == "line") {
                options.sortMode = ByLineText;
            } else {
                parse.error = "--sort takes rank, name or line";
                return parse;
            }
        } else if (name == "--threads") {
            if (!value(v)) return parse;
            if (!parseCount(v, options.threads) || options.threads == 0) {
                parse.error = "-j and --threads take a count of 1 or more";
                return parse;
            }
        } else if (name == "--top") {
            if (!value(v)) return parse;
            if (!parseCount(v, options.top)) {
                parse.error = "--top takes a count of 0 or more";
                return parse;
            }
        } else if (name == "--format") {
            if (!value(v)) return parse;
            if (v == "text") {
                options.format = OutputFormat::Text;
            } else if (v == "vimgrep") {
                options.format = OutputFormat::Vimgrep;
            } else if (v == "tsv") {
                options.format = OutputFormat::Tsv;
            } else if (v == "jsonl") {
                options.format = OutputFormat::Jsonl;
            } else {
                parse.error = "--format takes text, vimgrep, tsv or jsonl";
                return parse;
            }
        } else if (name == "--color") {
            if (!value(v)) return parse;
            if (v == "auto") {
                options.color = ColorMode::Auto;
            } else if (v == "always") {
                options.color = ColorMode::Always;
            } else if (v == "never") {
                options.color = ColorMode::Never;
            } else {
                parse.error = "--color takes auto, always or never";
                return parse;
            }
        } else {
            parse.error = "unknown option " + std::string(arg);
            return parse;
        }
    }

    if (positional == 0 && !options.help && !options.version) parse.error = "FIND_TEXT is missing";
    return parse;
}

bool useColor(ColorMode mode, bool terminal, bool colorCodesShow, const char* noColor,
              const char* term) {
    if (terminal && !colorCodesShow) return false;
    if (mode != ColorMode::Auto) return mode == ColorMode::Always;
    const bool noColorSet = noColor != nullptr && noColor[0] != '\0';
    const bool dumb = term != nullptr && std::string_view(term) == "dumb";
    return terminal && !noColorSet && !dumb;
}

}  // namespace tarvo
