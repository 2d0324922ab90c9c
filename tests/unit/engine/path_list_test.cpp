#include "engine/path_list.h"
#include <gtest/gtest.h>
#include <algorithm>
#include "support/repeated.h"

namespace tarvo {

TEST(PathList, RootsUnderAndExtensions) {
    const auto sep = [](std::string text) {
        std::replace(text.begin(), text.end(), '/', kPathSeparator);
        return text;
    };
    // clang-format off
    const std::vector<std::string> lists[] = {
        {"  /a ; /b  ", "/a", "/b"}, {"src/ / ", "src"}, {"/", ""}, {";a;;b;", "a", "b"},
        {"   "}, {"\ta\t;my dir ", "\ta\t", "my dir"}, {"src; ;include", "src", "include"},
        {";"}, {" ; / ;", ""}, {std::string(300, ';') + "a", "a"}};
    // clang-format on
    for (const std::vector<std::string>& c : lists) {  // the text, then its roots
        std::vector<std::string> roots;
        for (size_t i = 1; i < c.size(); ++i)
            roots.push_back(sep(c[i]));
        EXPECT_EQ(parsePathList(sep(c[0])), roots) << c[0];
    }
    const std::string many = std::string(300, 'x') + testing::repeated(99, ";x");  // kept whole
    bool dropped = true;
    EXPECT_EQ(parsePathList(many + "; ", &dropped).front(), std::string(300, 'x'));
    EXPECT_FALSE(dropped) << "exactly 100 roots";
    EXPECT_EQ(parsePathList(many + ";y", &dropped).size(), 100u);
    EXPECT_TRUE(dropped);
    const std::tuple<const char*, const char*, bool, bool> unders[] = {
        {"a/x.c", "a", false, true},  {"a/x.c", "b", true, false},
        {"a/s/x.c", "a", true, true}, {"a/s/x.c", "a", false, false},
        {"ab/x.c", "a", true, false}, {"a/x.c", "a/x.c", false, true},
        {"a/", "a", true, false},     {"/x.c", "", false, true},
        {"a", "a/x.c", true, false}};
    for (const auto& [path, root, recursive, expected] : unders)
        EXPECT_EQ(liesUnderRoot(sep(path), sep(root), recursive), expected) << path << " " << root;
    const std::tuple<const char*, const char*, bool> extensions[] = {
        {"a.h", ".h;", true},     {"a.h", ";", false},    {"a.h", "", false},
        {"x.C", ".c", false},     {"x.cpp", ".c", false}, {"/s/Makefile", "Makefile", true},
        {"x.c", " .c", false},    {".c", "x.c", false},   {"x.cxx", ".c;.cpp;.cxx;.h", true},
        {"graph", ".c;.h", false}};
    for (const auto& [path, list, expected] : extensions)
        EXPECT_EQ(matchesExtensionList(path, list), expected) << path << " " << list;
}

}  // namespace tarvo
