// Whole runs: the order of the steps, the limits of the two texts, and what a
// stop leaves behind.
#include <gtest/gtest.h>

#include <string>

#include "engine/file_memory.h"
#include "engine/search_engine.h"
#include "results/result_store.h"
#include "support/engine_fixture.h"
#include "support/numbered_name.h"
#include "support/temp_tree.h"
#include "support/test_host.h"

namespace tarvo {
namespace {

using testing::numberedName;

class SearchRunTest : public testing::EngineTest {};

TEST_F(SearchRunTest, WalksEveryRootAndCreditsTheResults) {
    const std::string root = tree.mkdir("root");
    const std::string best = tree.write("root/best.c", "int needle(void);\n");
    const std::string other = tree.write("root/other.txt", "x = needle;\n");
    const std::string missing = tree.path("missing");
    request.findText = "needle";
    request.pathText = missing + ";" + root + ";" + root;  // the same root twice
    results.addResult(5, "stale", 1, "from the last run");

    engine.runSearch();

    ASSERT_EQ(host.errors.size(), 1u) << "the missing root, once; the run goes on";
    EXPECT_EQ(host.errors[0], "Error: can't open directory " + missing);
    ASSERT_EQ(results.count(), 2) << "the old results were cleared; each file read once";
    EXPECT_EQ(results.rankEntry(0).path, best);
    EXPECT_EQ(engine.stats().files, 2);
    EXPECT_EQ(engine.stats().matches, 2);
    EXPECT_EQ(engine.stats().lines, 2);
    EXPECT_EQ(memory.entry(memory.find(best.c_str())).priority, 1000);
    EXPECT_EQ(memory.entry(memory.find(other.c_str())).priority, 999);

    // The next run starts from zero counters; both files are remembered and
    // read first, the root then adds nothing new.
    request.pathText = root;
    engine.runSearch();
    EXPECT_EQ(engine.stats().files, 2);
    EXPECT_EQ(engine.stats().matches, 2);
}

TEST_F(SearchRunTest, RemembersFilesSearchedFirst) {
    const std::string root = tree.mkdir("root");
    for (int i = 0; i < 5; ++i)
        tree.write("root/f" + std::to_string(i) + ".txt", "needle\n");
    const std::string remembered = tree.write("root/remembered.txt", "needle\n");
    memory.add(remembered.c_str(), 500);
    request.findText = "needle";
    request.pathText = root;
    host.stopAtPump = 2;  // the first file is read whole; the second is never opened

    engine.runSearch();

    ASSERT_EQ(results.count(), 1);
    EXPECT_EQ(results.rankEntry(0).path, remembered);
    EXPECT_EQ(memory.entry(memory.find(remembered.c_str())).priority, 1000)
        << "a stopped run still credits what it found";
}

TEST_F(SearchRunTest, AStopEndsTheRemainingRootsQuietly) {
    const std::string root = tree.mkdir("root");
    tree.write("root/a.txt", "a\n");
    request.pathText = root + ";" + tree.path("missing");
    host.stopAtPump = 1;
    engine.runSearch();
    EXPECT_EQ(engine.stats().files, 0);
    EXPECT_TRUE(host.errors.empty()) << "a stopped walk does not report later roots";
}

TEST_F(SearchRunTest, TextsAreCutToTheirLimits) {
    {
        SCOPED_TRACE("150 roots give 100");
        for (int i = 0; i < 150; ++i)
            request.pathText += tree.path(numberedName("r", i)) + ";";
        engine.runSearch();
        EXPECT_EQ(engine.roots().size(), 100u);
        EXPECT_EQ(host.errors.size(), 100u) << "each missing root reported once";
    }
    request.pathText.clear();
    {
        SCOPED_TRACE("101 terms give 100");
        for (int i = 0; i < 101; ++i)
            request.findText += numberedName("t", i) + " ";
        engine.runSearch();
        EXPECT_EQ(engine.terms().count(), 100);
    }
    {
        SCOPED_TRACE("a 10,000-character Find text over a real file");
        request.findText = std::string(10000, 'k');
        const std::string file = tree.write("k.txt", std::string(1000, 'k') + "\n");
        request.pathText = file;
        engine.runSearch();
        EXPECT_EQ(engine.terms().count(), 100);
        ASSERT_EQ(results.count(), 1);
        // All 100 terms on the line, each in exact case. Every term covers the
        // whole 150-byte text, so the map holds only the last term: one
        // whole-word run. Not on the highlight list: half the definition part.
        EXPECT_EQ(results.rankEntry(0).score, 100 * 1000000 + 100 * 1000 + 100 * 10 + 20 + 500);
    }
}

}  // namespace
}  // namespace tarvo
