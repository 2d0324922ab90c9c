#include "cli/cli_options.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <string_view>
#include <vector>

#include "engine/path_list.h"
#include "engine/search_request.h"
#include "view/marked_text.h"

namespace tarvo {

namespace {

// One command-line option, defined once: the parser and the usage text read
// this table, and the package test checks that the man page and the bash
// completion name every option the usage text gives.
enum class OptionGroup { Search, Output, Program };

struct CliOption {
    const char* longName;   // "--no-recursive"
    char shortName;         // 'l' for "-l"; 0: none
    const char* valueName;  // nullptr: a switch; else what the value is ("N", "rank|name|line")
    OptionGroup group;
    const char* help;  // one line, or several separated by '\n'
    // Sets what the option stands for from its value (empty for a switch);
    // the message for a value it does not take, else an empty text.
    std::string (*set)(CliOptions& options, std::string_view value);
};

bool parseCount(std::string_view text, int32_t& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size() && value >= 0;
}

// The value of an option that names one of a few words: its place in
// `words`, or nothing.
template <size_t N>
std::optional<size_t> wordIndex(std::string_view value, const char* const (&words)[N]) {
    for (size_t i = 0; i < N; ++i)
        if (value == words[i]) return i;
    return std::nullopt;
}

constexpr char kFormatName[] = "--format";
constexpr const char* kFormatWords[] = {"text", "vimgrep", "tsv", "jsonl"};
constexpr OutputFormat kFormats[] = {OutputFormat::Text, OutputFormat::Vimgrep, OutputFormat::Tsv,
                                     OutputFormat::Jsonl};
constexpr char kColorName[] = "--color";
constexpr const char* kColorWords[] = {"auto", "always", "never"};
constexpr ColorMode kColorModes[] = {ColorMode::Auto, ColorMode::Always, ColorMode::Never};
constexpr char kSortName[] = "--sort";
constexpr const char* kSortWords[] = {"rank", "name", "line"};
constexpr SortMode kSortModes[] = {SortMode::ByRank, SortMode::ByFileName, SortMode::ByLineText};

// What an option `name` that names one of `words` sets: the value in the
// word's place; any other word is refused with the words it takes.
template <auto member, const char* name, const auto& words, const auto& values>
std::string setWord(CliOptions& options, std::string_view value) {
    if (const std::optional<size_t> i = wordIndex(value, words)) {
        options.*member = values[*i];
        return "";
    }
    std::string error = std::string(name) + " takes " + words[0];
    for (size_t i = 1; i < std::size(words); ++i)
        error += std::string(i + 1 < std::size(words) ? ", " : " or ") + words[i];
    return error;
}

// What a switch sets.
template <auto member, auto value>
std::string setTo(CliOptions& options, std::string_view) {
    options.*member = value;
    return "";
}

constexpr CliOption kOptions[] = {
    {"--no-recursive", 0, nullptr, OptionGroup::Search, "do not descend into subdirectories",
     setTo<&CliOptions::recursive, false>},
    {"--search-binary", 0, nullptr, OptionGroup::Search, "read files holding NUL bytes too",
     setTo<&CliOptions::skipBinaryFiles, false>},
    {"--no-file-names", 0, nullptr, OptionGroup::Search, "do not match terms in file paths",
     setTo<&CliOptions::searchFileNames, false>},
    {"--no-case-bonus", 0, nullptr, OptionGroup::Search, "no bonus for exact letter case",
     setTo<&CliOptions::caseSensitiveBonus, false>},
    {"--no-word-bonus", 0, nullptr, OptionGroup::Search, "no bonus for whole-word occurrences",
     setTo<&CliOptions::wholeWordBonus, false>},
    {"--no-cpp-heuristics", 0, nullptr, OptionGroup::Search,
     "no bonus for lines shaped like C/C++ definitions", setTo<&CliOptions::cppHeuristics, false>},
    {"--exclude", 0, "LIST", OptionGroup::Search,
     "skip files whose path ends with an item of LIST (a;b;c)",
     [](CliOptions& o, std::string_view v) {
         o.excludeList = cutToTextLimit(v);
         return std::string();
     }},
    {"--skip-ignored", 0, nullptr, OptionGroup::Search,
     "skip what Git ignores (.gitignore, info/exclude,\n"
     "the global excludes file) in a work tree",
     setTo<&CliOptions::skipIgnoredFiles, true>},
    {"--include", 0, "LIST", OptionGroup::Search,
     "read only files whose path ends with an item of LIST\n"
     "(*.c;*.h: a leading * is left out)",
     [](CliOptions& o, std::string_view v) {
         o.includeList = cutToTextLimit(v);
         return std::string();
     }},
    {"--skip-folders", 0, "LIST", OptionGroup::Search,
     "never enter folders of these names (node_modules;obj)",
     [](CliOptions& o, std::string_view v) {
         o.skipFolders = cutToTextLimit(v);
         return std::string();
     }},
    {"--highlight", 0, "LIST", OptionGroup::Search,
     "syntax-highlighting list (default .c;.cpp;.cxx;.h)",
     [](CliOptions& o, std::string_view v) {
         o.highlightList = cutToTextLimit(v);
         return std::string();
     }},
    {kFormatName, 0, "text|vimgrep|tsv|jsonl", OptionGroup::Output,
     "text: PATH:LINE:TEXT per result (the default)\n"
     "vimgrep: PATH:LINE:COLUMN:TEXT, COLUMN the byte of the first term\n"
     "tsv, jsonl: rank, score, path, line and text as fields",
     setWord<&CliOptions::format, kFormatName, kFormatWords, kFormats>},
    {"--rank", 0, nullptr, OptionGroup::Output, "RANK:SCORE: in front of each text or vimgrep line",
     setTo<&CliOptions::rank, true>},
    {"--files-with-matches", 'l', nullptr, OptionGroup::Output,
     "each file with a result once, by its best line", setTo<&CliOptions::filesWithMatches, true>},
    {"--null", 0, nullptr, OptionGroup::Output, "a NUL after each path, for odd file names",
     setTo<&CliOptions::nullAfterPath, true>},
    {kSortName, 0, "rank|name|line", OptionGroup::Output, "order of the output (default rank)",
     setWord<&CliOptions::sortMode, kSortName, kSortWords, kSortModes>},
    {"--top", 0, "N", OptionGroup::Output, "print at most N results (with -l, N files)",
     [](CliOptions& o, std::string_view v) -> std::string {
         return parseCount(v, o.top) ? "" : "--top takes a count of 0 or more";
     }},
    {kColorName, 0, "auto|always|never", OptionGroup::Output, "mark terms on a yellow background",
     setWord<&CliOptions::color, kColorName, kColorWords, kColorModes>},
    {"--tab-width", 0, "N", OptionGroup::Output,
     "tab stops N columns apart (1 to 16) on a terminal\n"
     "(default: the settings file's, else 4)",
     [](CliOptions& o, std::string_view v) -> std::string {
         o.tabWidth = parseTabWidth(v);
         return o.tabWidth ? "" : "--tab-width takes a count of 1 to 16";
     }},
    {"--stats", 0, nullptr, OptionGroup::Output, "print the status line on stderr",
     setTo<&CliOptions::stats, true>},
    {"--files", 0, nullptr, OptionGroup::Output,
     "print the files a search would read, one a line, in the\n"
     "walk's order, without reading them; no FIND_TEXT is given",
     setTo<&CliOptions::listFiles, true>},
    {"--threads", 'j', "N", OptionGroup::Output,
     "read N files side by side (default: one per core; at\n"
     "most 4 per core and 256); the output is the same\n"
     "for every N",
     [](CliOptions& o, std::string_view v) -> std::string {
         const bool valid = parseCount(v, o.threads) && o.threads > 0;
         return valid ? "" : "-j and --threads take a count of 1 or more";
     }},
    {"--settings", 0, "FILE", OptionGroup::Output,
     "read options, lists, sort order and remembered files from\n"
     "FILE, search the remembered files under PATH_TEXT's roots\n"
     "first, and write the file memory back",
     [](CliOptions& o, std::string_view v) -> std::string {
         if (v.empty()) return "--settings takes a file";
         o.settingsFile = std::string(v);
         return "";
     }},
    {"--help", 0, nullptr, OptionGroup::Program, "print this text and exit",
     setTo<&CliOptions::help, true>},
    {"--version", 0, nullptr, OptionGroup::Program, "print the version and exit",
     setTo<&CliOptions::version, true>},
};

const CliOption* findOption(std::string_view longName, char shortName) {
    for (const CliOption& option : kOptions)
        if (longName == option.longName || (shortName != 0 && shortName == option.shortName))
            return &option;
    return nullptr;
}

std::string makeUsageText() {
    std::string text =
        "Usage: tarvo-find [options] FIND_TEXT [PATH_TEXT]\n"
        "       tarvo-find --files [options] [PATH_TEXT]\n"
        "\n"
        "Searches the ';'-separated roots of PATH_TEXT (default: the current directory)\n"
        "for the terms of FIND_TEXT and prints the best lines first, at most 9,999.\n"
        "FIND_TEXT: terms separated by blanks; \"a b\" is one term; \\t \\n \\r \\\" \\\\ "
        "escapes.\n";
    const std::pair<OptionGroup, const char*> groups[] = {
        {OptionGroup::Search, "Search options (the six the window keeps on by default):"},
        {OptionGroup::Output, "Output:"},
        {OptionGroup::Program, "Program:"}};
    // Help lines start in this column; a longer name and value stands on a
    // line of its own.
    constexpr size_t kHelpColumn = 24;
    const std::string helpIndent(kHelpColumn, ' ');
    for (const auto& [group, heading] : groups) {
        text += std::string("\n") + heading + "\n";
        for (const CliOption& option : kOptions) {
            if (option.group != group) continue;
            std::string names = "  ";
            if (option.shortName != 0) names += std::string{'-', option.shortName, ',', ' '};
            names += option.longName;
            if (option.valueName != nullptr) names += std::string(" ") + option.valueName;
            text += names.size() + 2 <= kHelpColumn
                        ? names + std::string(kHelpColumn - names.size(), ' ')
                        : names + "\n" + helpIndent;
            for (const char* c = option.help; *c != '\0'; ++c)
                text += *c == '\n' ? "\n" + helpIndent : std::string(1, *c);
            text += '\n';
        }
    }
    text +=
        "\n"
        "On a terminal, text and vimgrep lines are cut to 150 bytes with tabs expanded, and\n"
        "control bytes are shown as ^X, \\n or \\r in every format; into a pipe, each line is\n"
        "printed whole, as in the file. TSV and JSONL always carry the whole line.\n"
        "\n"
        "Exit status: 0 results found, 1 none, 2 usage error, a settings file that cannot\n"
        "be used, fewer than 16 files allowed open or output that could not be written,\n"
        "130 interrupted.\n";
    return text;
}

}  // namespace

const std::string& usageText() {
    static const std::string text = makeUsageText();
    return text;
}

CliParse parseCommandLine(int argc, const char* const* argv) {
    CliParse parse;
    CliOptions& options = parse.options;
    std::vector<std::string_view> positional;  // FIND_TEXT and PATH_TEXT, or PATH_TEXT alone
    bool optionsEnded = false;

    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        // A lone "-" is text; any other word starting with '-' is an option
        // until "--" (a search for "-x" is written "-- -x").
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }

        // "-l", "-j N" or "-jN"; "--name", "--name value" or "--name=value".
        // A switch given a value in the same word is no option.
        std::string_view name = arg;
        std::optional<std::string_view> inlineValue;
        const CliOption* option = nullptr;
        if (arg[1] != '-') {
            name = arg.substr(0, 2);
            if (arg.size() > 2) inlineValue = arg.substr(2);
            option = findOption({}, arg[1]);
        } else {
            if (size_t eq = arg.find('='); eq != std::string_view::npos) {
                name = arg.substr(0, eq);
                inlineValue = arg.substr(eq + 1);
            }
            option = findOption(name, 0);
        }
        if (option == nullptr || (inlineValue && option->valueName == nullptr)) {
            parse.error = "unknown option " + std::string(arg);
            return parse;
        }
        std::string_view value = inlineValue.value_or("");
        if (option->valueName != nullptr && !inlineValue) {
            if (i + 1 >= argc) {
                parse.error = "option " + std::string(name) + " needs a value";
                return parse;
            }
            value = argv[++i];
        }
        parse.error = option->set(options, value);
        if (!parse.error.empty()) return parse;
    }

    // --files may stand anywhere: the words are placed once all are read.
    const size_t most = options.listFiles ? 1 : 2;
    if (positional.size() > most) {
        parse.error = "too many arguments: " + std::string(positional[most]);
        return parse;
    }
    if (!options.listFiles && !positional.empty()) options.findText = cutToTextLimit(positional[0]);
    if (positional.size() == most) {
        options.pathText = cutToTextLimit(positional.back());
        // Without PATH_TEXT the current directory is searched; one given
        // empty (or only ";" and blanks) is a mistake.
        if (parsePathList(options.pathText).empty()) {
            parse.error = "PATH_TEXT names no folder or file";
            return parse;
        }
    }
    if (positional.empty() && !options.listFiles && !options.help && !options.version)
        parse.error = "FIND_TEXT is missing";
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

int32_t threadCount(int32_t asked, int32_t cores) {
    cores = std::clamp(cores, 1, kMaxThreads);
    return std::min({asked > 0 ? asked : cores, kThreadsPerCore * cores, kMaxThreads});
}

}  // namespace tarvo
