// The walk over real scratch trees. With an empty Find text every file the
// scanner reads becomes one file-name entry, so the results name exactly the
// files the walk handed over.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "engine/file_memory.h"
#include "engine/search_engine.h"
#include "results/result_store.h"
#include "support/engine_fixture.h"

namespace tarvo {
namespace {

using Paths = testing::EngineTest::Paths;

class WalkTest : public testing::EngineTest {};

TEST_F(WalkTest, RecursionDotEntriesAndSingleFiles) {
    tree.write("outer.txt", "o");
    const std::string root = tree.mkdir("root");
    const std::string a = tree.write("root/a.txt", "a");
    const std::string b = tree.write("root/sub/b.c", "b");
    const std::string c = tree.write("root/sub/deeper/c.txt", "c");
    {
        SCOPED_TRACE("recursive, and never up through ..");
        EXPECT_EQ(walk(root), (Paths{a, b, c}));
    }
    {
        SCOPED_TRACE("not recursive");
        request.options.recursive = 0;
        EXPECT_EQ(walk(root), (Paths{a}));
        request.options.recursive = 1;
    }
    {
        SCOPED_TRACE("a root naming a file");
        EXPECT_EQ(walk(b), (Paths{b}));
        EXPECT_TRUE(host.errors.empty());
    }
    {
        SCOPED_TRACE("the exclude list applies to every file");
        request.excludeList = ".c";
        EXPECT_EQ(walk(root), (Paths{a, c}));
        EXPECT_EQ(walk(b), Paths{});
        request.excludeList.clear();
    }
}

TEST_F(WalkTest, ReportsOnlyUnopenableRoots) {
    const std::string missing = tree.path("missing");
    EXPECT_EQ(walk(missing), Paths{});
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0], "Error: can't open directory " + missing);

    // Below the root nothing is reported: the walk only meets what exists.
    const std::string tooLong = tree.root() + kPathSeparator + std::string(300, 'x');
    EXPECT_EQ(walk(tooLong), Paths{});
    ASSERT_EQ(host.errors.size(), 2u);
    EXPECT_EQ(host.errors[1], "Error: can't open directory " + tooLong);
}

TEST_F(WalkTest, PathsLongerThan260AreSkipped) {
    const size_t rootLength = tree.root().size();
    ASSERT_LT(rootLength, 200u) << "scratch folder too deep for this test";
    const std::string dir(249 - rootLength - 1, 'd');  // root, separator, dir: 249 characters
    const std::string at260 = tree.write(dir + "/abcdefghij", "x");
    const std::string at261 = tree.write(dir + "/abcdefghijk", "x");
    tree.write(dir + "/abcdefghijkl/x", "x");  // its directory is already too long
    ASSERT_EQ(at260.size(), 260u);
    ASSERT_EQ(at261.size(), 261u);
    EXPECT_EQ(walk(tree.root()), (Paths{at260}));
    EXPECT_TRUE(host.errors.empty()) << "skipped silently";
}

#ifndef _WIN32
TEST_F(WalkTest, LinksFifosAndLoops) {
    const std::string root = tree.mkdir("root");
    const std::string file = tree.write("root/file.txt", "x");
    tree.write("elsewhere/other.txt", "x");
    namespace fs = std::filesystem;
    fs::create_directory_symlink(root, tree.path("root/loop"));  // to its own ancestor
    fs::create_directory_symlink(tree.path("elsewhere"), tree.path("root/dirlink"));
    fs::create_symlink(file, tree.path("root/filelink"));
    fs::create_symlink(tree.path("nowhere"), tree.path("root/dangling"));
    ASSERT_EQ(mkfifo(tree.path("root/pipe").c_str(), 0600), 0);

    // Directory links are never followed, so the loop cannot recurse and
    // elsewhere/ is not read; the FIFO is passed over without blocking.
    EXPECT_EQ(walk(root), (Paths{file, tree.path("root/filelink")}));
    EXPECT_TRUE(host.errors.empty());

    // A root naming a FIFO is not opened either: it is reported.
    EXPECT_EQ(walk(tree.path("root/pipe")), Paths{});
    EXPECT_EQ(host.errors.size(), 1u);
}

TEST_F(WalkTest, TheEmptyRootListsTheRootDirectory) {
    request.options.recursive = 0;
    Paths expected;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/", error)) {
        if (std::filesystem::is_regular_file(entry.path(), error) &&
            access(entry.path().c_str(), R_OK) == 0) {
            expected.insert("/" + entry.path().filename().string());
        }
    }
    EXPECT_EQ(walk(""), expected);
    EXPECT_TRUE(host.errors.empty());
}
#endif

}  // namespace
}  // namespace tarvo
