#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "results/result_store.h"

namespace tarvo {
namespace {

CliParse parse(std::vector<const char*> args) {
    args.insert(args.begin(), "tarvo-find");
    return parseCommandLine(static_cast<int>(args.size()), args.data());
}

// Two positional texts, cut to the edit box's limit; "--" ends the
// options; an option not given stays unset so a settings file decides.
TEST(CliOptions, TextsSwitchesAndValues) {
    const std::string longText(12000, 'x');
    CliParse p = parse({longText.c_str(), "src;include", "--exclude", longText.c_str()});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.findText.size(), 9999u);
    EXPECT_EQ(p.options.pathText, "src;include");
    EXPECT_EQ(p.options.excludeList->size(), 9999u);
    EXPECT_FALSE(p.options.recursive || p.options.highlightList || p.options.sortMode);
    EXPECT_EQ(std::make_tuple(p.options.top, p.options.format),
              std::make_tuple(-1, OutputFormat::Text));
    EXPECT_EQ(parse({""}).error, "") << "an empty FIND_TEXT is a query without terms";
    p = parse({"--", "--verbose", "-l"});
    EXPECT_EQ(std::make_tuple(p.error, p.options.findText, p.options.pathText),
              std::make_tuple(std::string(), std::string("--verbose"), std::string("-l")));

    p = parse({"--no-recursive",
               "--search-binary",
               "--no-file-names",
               "--no-case-bonus",
               "--no-word-bonus",
               "--no-cpp-heuristics",
               "--highlight=.h",
               "--sort",
               "line",
               "--top=5",
               "--format",
               "jsonl",
               "--color",
               "never",
               "--stats",
               "--rank",
               "-l",
               "--null",
               "--settings",
               "s.txt",
               "term"});
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
    EXPECT_EQ(parse({"--format=vimgrep", "x"}).options.format, OutputFormat::Vimgrep);

    const std::vector<const char*> errors[] = {{},
                                               {"a", "b", "c"},
                                               {"--sort", "size", "x"},
                                               {"--top", "-1", "x"},
                                               {"--top", "5x", "x"},
                                               {"--format", "xml", "x"},
                                               {"--color", "sometimes", "x"},
                                               {"--frobnicate", "x"},
                                               {"x", "--exclude"},
                                               {"--stats=yes", "x"}};
    for (const auto& args : errors)
        EXPECT_NE(parse(args).error, "") << (args.empty() ? "no FIND_TEXT" : args[0]);
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
    } cases[] = {
        {Auto, true, true, nullptr, "xterm", true},
        {Auto, true, true, nullptr, nullptr, true},
        {Auto, false, false, nullptr, "xterm", false},
        {Auto, true, true, "1", "xterm", false},
        {Auto, true, true, "", "xterm", true},
        {Auto, true, true, nullptr, "dumb", false},
        {Always, false, false, "1", "dumb", true},
        {Always, true, false, nullptr, nullptr, false},
        {Never, true, true, nullptr, "xterm", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(useColor(c.mode, c.terminal, c.colorCodesShow, c.noColor, c.term), c.expected)
            << static_cast<int>(c.mode) << c.terminal << c.colorCodesShow
            << (c.noColor ? c.noColor : "-") << (c.term ? c.term : "-");
}

}  // namespace
}  // namespace tarvo
