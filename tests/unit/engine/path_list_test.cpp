#include "engine/path_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>
#include "support/numbered_name.h"

namespace tarvo {
namespace {

using testing::numberedName;

using Roots = std::vector<std::string>;

// Writes '/' as the platform separator, so the cases read the same on both.
std::string sep(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c == '/') c = kPathSeparator;
    }
    return result;
}

TEST(ParsePathList, SplitsTrimsAndKeepsEmptyEntries) {
    struct Case {
        const char* label;
        std::string pathText;
        Roots expected;
    };
    const Case cases[] = {
        {"blanks around", sep("  /a ; /b  "), {sep("/a"), sep("/b")}},
        {"trailing separator", sep("/src/"), {sep("/src")}},
        {"separators and blanks in any mix", sep("src/ / "), {"src"}},
        {"root directory alone becomes empty", sep("/"), {""}},
        {"trailing ;", "a;", {"a"}},
        {"leading ;", ";a", {"", "a"}},
        {"two ; in a row", "a;;b", {"a", "", "b"}},
        {"empty text", "", {}},
        {"blanks only", "   ", {}},
        {"tab is ordinary", "\ta\t", {"\ta\t"}},
        {"inner blanks kept", "my dir ; x", {"my dir", "x"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        EXPECT_EQ(parsePathList(c.pathText), c.expected);
    }
}

TEST(ParsePathList, KeepsAtMost100RootsAndLongRootsWhole) {
    std::string text;
    for (int i = 0; i < 150; ++i)
        text += numberedName("r", i) + ";";
    bool dropped = false;
    Roots roots = parsePathList(text, &dropped);
    ASSERT_EQ(roots.size(), 100u);
    EXPECT_EQ(roots.front(), "r0");
    EXPECT_EQ(roots.back(), "r99");
    EXPECT_TRUE(dropped);
    text.resize(text.find("r100;"));
    parsePathList(text + "  ", &dropped);
    EXPECT_FALSE(dropped) << "exactly 100 roots";

    // The walk reports an over-long root; it is not cut into another path.
    std::string longRoot(300, 'x');
    EXPECT_EQ(parsePathList(longRoot + ";y"), (Roots{longRoot, "y"}));
}

TEST(LiesUnderRoot, TheRootItselfOrWhatTheWalkBuildsFromIt) {
    struct Case {
        const char* path;
        const char* root;
        bool recursive;
        bool expected;
    } cases[] = {
        {"projA/config.c", "projA", true, true},
        {"projA/config.c", "projB", true, false},
        {"projA/sub/x.c", "projA", true, true},
        {"projA/sub/x.c", "projA", false, false},  // without recursion: directly in it
        {"projA/config.c", "projA", false, true},
        {"projAB/x.c", "projA", true, false},     // a longer name, not a folder below
        {"projA/x.c", "projA/x.c", false, true},  // a root naming the file
        {"projA/", "projA", true, false},
        {"/x.c", "", false, true},  // the empty root: the root folder
        {"projA", "projA/x.c", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " under " + c.root);
        EXPECT_EQ(liesUnderRoot(sep(c.path), sep(c.root), c.recursive), c.expected);
    }
}

TEST(MatchesExtensionList, IsACaseSensitiveSuffixTest) {
    struct Case {
        const char* path;
        const char* list;
        bool expected;
    };
    const Case cases[] = {
        {"a.h", ".h;", true},  {"a.h", ";", false},
        {"a.h", "", false},    {"x.c", ".c", true},
        {"x.C", ".c", false},  {"x.cpp", ".c", false},
        {"abc", "c", true},    {"/src/Makefile", "Makefile", true},
        {"x.c", " .c", false}, {"x.cxx", ".c;.cpp;.cxx;.h", true},
        {".c", "x.c", false},  {"", ".c", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " against [" + c.list + "]");
        EXPECT_EQ(matchesExtensionList(c.path, c.list), c.expected);
    }
}

}  // namespace
}  // namespace tarvo
