#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "results/result_store.h"

namespace tarvo {
namespace {

CliParse parse(std::vector<std::string> args) {
    std::vector<const char*> argv = {"tarvo-find"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    return parseCommandLine(static_cast<int>(argv.size()), argv.data());
}
// The words of `line`, split at blanks.
CliParse parse(const char* line) {
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;)
        args.push_back(word);
    return parse(args);
}

// Two positional texts, cut to the edit box's limit; "--" ends the
// options; an option not given stays unset so a settings file decides.
TEST(CliOptions, TextsSwitchesAndValues) {
    const std::string longText(12000, 'x');
    CliParse p = parse({longText, "src;include", "--exclude", longText});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.findText.size(), 9999u);
    EXPECT_EQ(p.options.pathText, "src;include");
    EXPECT_EQ(p.options.excludeList->size(), 9999u);
    EXPECT_FALSE(p.options.recursive || p.options.highlightList || p.options.sortMode);
    EXPECT_EQ(std::make_tuple(p.options.top, p.options.format),
              std::make_tuple(-1, OutputFormat::Text));
    EXPECT_EQ(parse(std::vector<std::string>{""}).error, "") << "a query without terms";
    p = parse("-- --verbose -l");
    EXPECT_EQ(p.options.findText + "|" + p.options.pathText, "--verbose|-l");

    p = parse(
        "--no-recursive --search-binary --no-file-names --no-case-bonus --no-word-bonus "
        "--no-cpp-heuristics --highlight=.h --sort line --top=5 --format jsonl --color "
        "never --stats --rank -l --null --settings s.txt term");
    ASSERT_EQ(p.error, "");
    const CliOptions& o = p.options;
    for (const auto& off : {o.recursive, o.skipBinaryFiles, o.searchFileNames, o.caseSensitiveBonus,
                            o.wholeWordBonus, o.cppHeuristics})
        EXPECT_EQ(off, 0);
    EXPECT_EQ(std::make_tuple(*o.highlightList, *o.sortMode, o.top, o.format, o.color),
              std::make_tuple(std::string(".h"), int32_t{ByLineText}, 5, OutputFormat::Jsonl,
                              ColorMode::Never));
    EXPECT_TRUE(o.stats && o.rank && o.filesWithMatches && o.nullAfterPath);
    EXPECT_EQ(o.settingsFile + "|" + o.findText, "s.txt|term");
    EXPECT_EQ(parse("--format=vimgrep x").options.format, OutputFormat::Vimgrep);
    for (const char* line :
         {"", "a b c", "--sort size x", "--top -1 x", "--top 5x x", "--format xml x",
          "--color sometimes x", "--frobnicate x", "x --exclude", "--stats=yes x"})
        EXPECT_NE(parse(line).error, "") << line;
}

// Auto colours a terminal that shows the codes, unless NO_COLOR is set and
// not empty or TERM is dumb; a Windows console has no TERM.
TEST(CliOptions, ColourFollowsTheTerminalNoColorAndTerm) {
    using enum ColorMode;
    const struct {
        ColorMode mode;
        bool terminal, colorCodesShow;
        const char *noColor, *term;
        bool expected;
    } cases[] = {{Auto, true, true, nullptr, "xterm", true},
                 {Auto, true, true, nullptr, nullptr, true},
                 {Auto, false, false, nullptr, "xterm", false},
                 {Auto, true, true, "1", "xterm", false},
                 {Auto, true, true, "", "xterm", true},
                 {Auto, true, true, nullptr, "dumb", false},
                 {Always, false, false, "1", "dumb", true},
                 {Always, true, false, nullptr, nullptr, false},
                 {Never, true, true, nullptr, "xterm", false}};
    for (const auto& c : cases)
        EXPECT_EQ(useColor(c.mode, c.terminal, c.colorCodesShow, c.noColor, c.term), c.expected)
            << static_cast<int>(c.mode) << c.terminal << c.colorCodesShow
            << (c.noColor ? c.noColor : "-") << (c.term ? c.term : "-");
}

}  // namespace
}  // namespace tarvo
