#include "cli/cli_options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "results/result_store.h"

namespace tarvo {
namespace {

CliParse parse(std::vector<const char*> args) {
    args.insert(args.begin(), "tarvo-find");
    return parseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CliOptions, PositionalTextsAndDefaults) {
    CliParse p = parse({"foo \"bar baz\"", "src;include"});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.findText, "foo \"bar baz\"");
    EXPECT_EQ(p.options.pathText, "src;include");
    EXPECT_FALSE(p.options.recursive.has_value());
    EXPECT_FALSE(p.options.excludeList.has_value());
    EXPECT_EQ(p.options.top, -1);
    EXPECT_EQ(p.options.format, OutputFormat::Text);

    SCOPED_TRACE("an empty FIND_TEXT is a query without terms, not a missing one");
    EXPECT_EQ(parse({""}).error, "");
    SCOPED_TRACE("-- ends the options, so a term may start with dashes");
    CliParse dashed = parse({"--", "--verbose", "-l"});
    ASSERT_EQ(dashed.error, "");
    EXPECT_EQ(dashed.options.findText, "--verbose");
    EXPECT_EQ(dashed.options.pathText, "-l");
    EXPECT_EQ(parse({"--format=vimgrep", "x"}).options.format, OutputFormat::Vimgrep);
}

TEST(CliOptions, SwitchesAndValues) {
    CliParse p = parse({"--no-recursive",
                        "--search-binary",
                        "--no-file-names",
                        "--no-case-bonus",
                        "--no-word-bonus",
                        "--no-cpp-heuristics",
                        "--exclude",
                        ".o;.a",
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
    EXPECT_EQ(o.recursive, 0);
    EXPECT_EQ(o.skipBinaryFiles, 0);
    EXPECT_EQ(o.searchFileNames, 0);
    EXPECT_EQ(o.caseSensitiveBonus, 0);
    EXPECT_EQ(o.wholeWordBonus, 0);
    EXPECT_EQ(o.cppHeuristics, 0);
    EXPECT_EQ(o.excludeList, ".o;.a");
    EXPECT_EQ(o.highlightList, ".h");
    EXPECT_EQ(o.sortMode, ByLineText);
    EXPECT_EQ(o.top, 5);
    EXPECT_EQ(o.format, OutputFormat::Jsonl);
    EXPECT_EQ(o.color, ColorMode::Never);
    EXPECT_TRUE(o.stats);
    EXPECT_TRUE(o.rank);
    EXPECT_TRUE(o.filesWithMatches);
    EXPECT_TRUE(o.nullAfterPath);
    EXPECT_EQ(o.settingsFile, "s.txt");
    EXPECT_EQ(o.findText, "term");
}

TEST(CliOptions, UsageErrors) {
    struct Case {
        std::vector<const char*> args;
        const char* why;
    } cases[] = {
        {{}, "no FIND_TEXT"},
        {{"a", "b", "c"}, "three positionals"},
        {{"--sort", "size", "x"}, "unknown sort"},
        {{"--top", "-1", "x"}, "negative top"},
        {{"--top", "5x", "x"}, "trailing junk in top"},
        {{"--format", "xml", "x"}, "unknown format"},
        {{"--color", "sometimes", "x"}, "unknown colour mode"},
        {{"--frobnicate", "x"}, "unknown option"},
        {{"x", "--exclude"}, "missing value"},
        {{"--stats=yes", "x"}, "value on a switch"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_NE(parse(c.args).error, "");
    }
}

TEST(CliOptions, ColourFollowsTheTerminalNoColorAndTerm) {
    using enum ColorMode;
    struct Case {
        ColorMode mode;
        bool terminal, colorCodesShow;
        const char *noColor, *term;
        bool expected;
    } cases[] = {
        {Auto, true, true, nullptr, "xterm", true},
        {Auto, true, true, nullptr, nullptr, true},     // a Windows console has no TERM
        {Auto, false, false, nullptr, "xterm", false},  // a pipe
        {Auto, true, true, "1", "xterm", false},
        {Auto, true, true, "", "xterm", true},  // NO_COLOR counts only when not empty
        {Auto, true, true, nullptr, "dumb", false},
        {Always, false, false, "1", "dumb", true},
        {Always, true, false, nullptr, nullptr, false},  // a console that prints the codes as text
        {Never, true, true, nullptr, "xterm", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << static_cast<int>(c.mode) << c.terminal << c.colorCodesShow
                     << (c.noColor ? c.noColor : "-") << (c.term ? c.term : "-"));
        EXPECT_EQ(useColor(c.mode, c.terminal, c.colorCodesShow, c.noColor, c.term), c.expected);
    }
}

TEST(CliOptions, TextsAreCutToTheEditBoxLimit) {
    std::string longText(12000, 'x');
    CliParse p = parse({longText.c_str(), longText.c_str(), "--exclude", longText.c_str()});
    ASSERT_EQ(p.error, "");
    EXPECT_EQ(p.options.findText.size(), 9999u);
    EXPECT_EQ(p.options.pathText.size(), 9999u);
    EXPECT_EQ(p.options.excludeList->size(), 9999u);
}

}  // namespace
}  // namespace tarvo
