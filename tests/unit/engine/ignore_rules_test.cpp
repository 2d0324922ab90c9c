// gitignore(5) rules as Git answers them (ignore_rules_cases.sh asks Git), and rules built to hurt.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/git_paths.h"
#include "engine/ignore_rules.h"
#include "support/repeated.h"
#include "support/temp_tree.h"

namespace tarvo {
namespace {

using namespace std::string_literals;

// printf's escapes, as the case table writes bytes: \n \r \t \\ \xHH; any other stays as written.
std::string unescaped(std::string_view text) {
    std::string bytes;
    for (size_t i = 0; i < text.size(); ++i) {
        const size_t code = text[i] == '\\' && i + 1 < text.size()
                                ? std::string_view("nrt\\x").find(text[i + 1])
                                : std::string_view::npos;
        if (code == std::string_view::npos) {
            bytes += text[i];
        } else if (code < 4) {
            bytes += "\n\r\t\\"[code], i += 1;
        } else {
            bytes += static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16));
            i += 3;
        }
    }
    return bytes;
}

// `git check-ignore` under one .gitignore: an ignored folder on the way decides, else the path.
IgnoreVerdict checkIgnore(const IgnoreRules& rules, std::string path) {
    const bool isDirectory = path.ends_with('/');
    if (isDirectory) path.pop_back();
    for (size_t slash = path.find('/'); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        const std::string folder = path.substr(0, slash);
        const size_t nameAt = folder.rfind('/') + 1;
        if (rules.verdict(folder, nameAt, true) == IgnoreVerdict::Ignored)
            return IgnoreVerdict::Ignored;
    }
    return rules.verdict(path, path.rfind('/') + 1, isDirectory);
}

// Every rule of gitignore(5), each case as the table says Git answers it.
TEST(IgnoreRules, AnswerAsGitCheckIgnore) {
    std::ifstream table(TARVO_ENGINE_TEST_DATA "/ignore_rules_cases.txt", std::ios::binary);
    ASSERT_TRUE(table) << "the case table";
    int cases = 0;
    for (std::string line; std::getline(table, line);) {
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream row(line);
        for (std::string field; std::getline(row, field, '|');)
            fields.push_back(field);
        ASSERT_GE(fields.size(), 3u) << line;
        const IgnoreRules rules(unescaped(fields[0]), fields.size() > 3 && fields[3] == "fold");
        const char* names[] = {"none", "ignored", "kept"};  // in IgnoreVerdict's order
        const IgnoreVerdict verdict = checkIgnore(rules, unescaped(fields[1]));
        EXPECT_EQ(names[static_cast<int>(verdict)], fields[2]) << line;
        ++cases;
    }
    EXPECT_GT(cases, 100);
}

// Rules built to hurt end at once and mean what Git makes of them; the rest of the file counts.
TEST(IgnoreRules, RulesBuiltToHurtAndRuleFilesPastTheLimit) {
    const std::string stars(10000, '*'), deep = "d/" + stars + "/" + stars + "/x";
    const std::string starStars = testing::repeated(5000, "**/"),
                      starred = testing::repeated(5000, "*a"),
                      longer = testing::repeated(5000, "a/");
    const std::string manyStars = '*' + starred.substr(0, 240);  // a star before each of 120 a
    using enum IgnoreVerdict;
    // clang-format off
    const std::tuple<std::string, std::string, IgnoreVerdict> cases[] = {
        {stars + ".o", "x.o", Ignored}, {stars + ".o", "x.c", None},
        {deep, "d/a/b/x", Ignored}, {deep, "d/x", Ignored}, {deep, "e/a/x", None},
        {starStars + "x", "a/b/c/x", Ignored}, {starStars + "x", "a/b/c/y", None},
        {starred + "*", std::string(250, 'a'), None},
        {manyStars, "x" + std::string(120, 'a'), Ignored},
        {manyStars + "b", testing::repeated(100, "ba") + "b", None},
        {longer + "x", "a/a/x", None}, {"[" + stars + "\nkeep", "keep", Ignored},
        {"a[b\n[[:nope:]]\n[z-a]", "a[b", None}, {"x\0\xff\xfe\x01\n\xff*\n"s, "\xff\x80", Ignored},
        {testing::repeated(200000, "*.o\n") + "!keep.o\n", "keep.o", Kept},
        {"a\n!a\na\n", "a", Ignored}, {"!a\na\n!a", "a", Kept}};
    // clang-format on
    for (const auto& [text, path, verdict] : cases) {
        SCOPED_TRACE(path.substr(0, 20));
        const IgnoreRules rules(text, false);
        EXPECT_EQ(rules.verdict(path, path.rfind('/') + 1, false), verdict);
    }
    // A rule file past the limit is read up to it, its cut line left out.
    testing::TempTree tree;
    std::string huge(kMaxRuleFileBytes - 3, '#');
    huge += "\nx.c\nlast.c\n";
    const std::string path = tree.write("huge", huge);
    std::string text;
    ASSERT_TRUE(readRuleFile(path, text));
    EXPECT_EQ(text.size(), kMaxRuleFileBytes - 2);
    EXPECT_EQ(IgnoreRules(text, false).verdict("x.c", 0, false), IgnoreVerdict::None);
    EXPECT_TRUE(readRuleFile(tree.write("small", "x.c"), text) && text == "x.c");
    EXPECT_FALSE(readRuleFile(tree.path("missing"), text));
    EXPECT_FALSE(readRuleFile(tree.mkdir("folder"), text));
}

// core.excludesFile as Git's configuration holds it: the last in [core], any case, quoted or not.
TEST(GitPaths, TheExcludesFileSetting) {
    const std::pair<const char*, const char*> cases[] = {
        {"[core]\n\texcludesFile = ~/.ignore\n", "~/.ignore"},
        {"[core]\nexcludesfile = a\n[Core]\nEXCLUDESFILE=\"b c\" # note\n", "b c"},
        {"[core] excludesfile = x ; comment\r\n", "x"},
        {"[core]\nexcludesfile = \"a\\\"b\\\\c\"\n", "a\"b\\c"},
        {"[core \"sub\"]\nexcludesfile = no\n[user]\nexcludesfile = no\n", nullptr},
        {"excludesfile = no\n[core]\nexcludesfiles = no\n", nullptr}};
    for (const auto& [config, setting] : cases) {
        SCOPED_TRACE(config);
        EXPECT_EQ(excludesFileSetting(config).value_or("(none)"), setting ? setting : "(none)");
    }
}

}  // namespace
}  // namespace tarvo
