#include "engine/file_memory.h"
#include <gtest/gtest.h>
#include <random>
#include "engine/path_hash.h"
#include "engine/term_table.h"
#include "support/collecting_sink.h"

namespace tarvo {
namespace {

using Strings = std::vector<std::string>;

// The table in its order, as "path:priority " words.
std::string table(const FileMemory& memory) {
    std::string text;
    for (int32_t i = 0; i < memory.count(); ++i)
        text += std::string(memory.path(i)) + ":" + std::to_string(memory.entry(i).priority) + " ";
    return text;
}

// The paths the search-start pass hands to a scanner that runs `step`.
Strings runPass(
    FileMemory& memory, const char* findText, const std::function<void()>& step = [] {}) {
    TermTable terms;
    terms.parseTerms(findText);
    Strings scanned;
    memory.rememberedFilesPass(terms, [&](const char* path) {
        scanned.push_back(path);
        step();
    });
    return scanned;
}

TEST(FileMemory, TheTableItsIndexRowsAddedCreditingAndTheRememberedFilesPass) {
    FileMemory memory;
    memory.add("a", 700);
    memory.add("a", 0);  // present: the priority stays
    for (const char* path : {"b", "c", "d"})
        memory.add(path, 1);
    EXPECT_EQ(memory.find("A"), -1) << "letter case matters";
    // The entry found last answers only for its own path, byte for byte.
    for (const char* path : {"x.c", "x.h"})
        memory.add(path, 0);
    for (const char* path : {"x.c", "x.cc", "x.h", "x.hpp", "x"}) {
        EXPECT_EQ(memory.isSearched(path), false) << path;
        memory.markSearched(path);  // a path absent from the table stays unmarked
    }
    for (const char* path : {"x.c", "x.h", "b", "zz"})
        memory.remove(path);
    EXPECT_EQ(std::make_pair(memory.find("d"), memory.find("b")), std::make_pair(1, -1))
        << "the last entry moves into the hole";
    memory.markSearched("a");
    memory.markBinary("d");
    memory.credit("absent", 1);
    EXPECT_TRUE(memory.isSearched("a") && memory.entry(1).binary);
    EXPECT_EQ(table(memory), "a:700 d:-1 c:1 ");
    EXPECT_EQ(memory.indexesToSave(), (std::vector<int32_t>{0, 2}));
    // Kept as folder and name, a path is found and handed back only whole.
    memory.clear();
    const Strings kept = {"a/b", "a", "a/", "/", "a/b/c", "a\\b", "ab", "a/bc", "x/a/b", "", "\\"};
    for (const std::string& path : kept)
        memory.add(path.c_str(), 1);
    for (int32_t i = 0; i < static_cast<int32_t>(kept.size()); ++i)
        EXPECT_EQ(std::make_pair(memory.find(kept[i].c_str()), memory.path(i)),
                  std::make_pair(i, kept[i]));
    for (const char* absent : {"a/b/", "a//b", "a/c", "x/a", "/a/b", "a/b/c/d", "b"})
        EXPECT_EQ(memory.find(absent), -1) << absent;
    // Removals in runs that wrap around the index's end leave every other entry found.
    std::mt19937 random(5);
    for (int round = 0; round < 20; ++round) {
        memory.clear();
        Strings names;
        for (int i = 0; i < kFileMemoryGrowth; ++i) {
            // Up to three folders deep, so that removed paths share folders with kept ones.
            const uint32_t r = random();
            std::string path;
            for (uint32_t depth = 0; depth < r % 4; ++depth)
                path.append("d").append(std::to_string(r % (depth + 3))).append("/");
            names.push_back(path + std::to_string(r));
            memory.add(names.back().c_str(), 0);
        }
        // Two in five removed, then a third: the removed outweigh the rest, copied together.
        for (const size_t removed : {2u, 3u}) {
            for (size_t i = 0; i < names.size(); ++i)
                if (i % 5 < removed) memory.remove(names[i].c_str());
            ASSERT_EQ(memory.count(), kFileMemoryGrowth / 5 * static_cast<int32_t>(5 - removed));
            for (size_t i = 0; i < names.size(); ++i) {
                if (i % 5 < removed) continue;
                const int32_t index = memory.find(names[i].c_str());
                ASSERT_TRUE(index >= 0 && memory.path(index) == names[i]) << names[i];
            }
        }
    }
    memory.clear();
    for (int32_t i = 0; i < kMaxRememberedFiles; ++i)
        memory.add(std::to_string(i).c_str(), 1);
    memory.add("one more", 1);
    EXPECT_EQ(memory.find("one more"), -1) << "past the cap";
    memory.remove("0");
    memory.add("one more", 1);  // room again
    EXPECT_EQ(memory.find("one more"), kMaxRememberedFiles - 1);
    // Rows ordered by priority (apart in each digit the order counts by, both ends, a tie).
    const std::vector<int32_t> priorities = {5,  INT32_MIN, 2048, 5,   INT32_MAX,
                                             -1, 1 << 22,   0,    2049};
    memory.clear();
    memory.add("1", 7);  // already known: its row is not added
    std::vector<FileMemory::Row> rows;
    for (size_t i = 0; i < priorities.size(); ++i)
        rows.push_back(
            {priorities[i], pathHash(std::to_string(i)), memory.keepPath(std::to_string(i))});
    orderByPriority(rows, [](const FileMemory::Row& row) { return row.priority; });
    memory.addRows(rows);
    EXPECT_EQ(table(memory), "1:7 4:2147483647 6:4194304 8:2049 2:2048 0:5 3:5 7:0 5:-1 ");
    FileMemory credited;
    for (const char* path : {"A", "B", "C"})
        credited.add(path, std::string(path) == "B" ? 1000 : 0);
    testing::CollectingSink results;
    for (const char* path : {"A", "B", "A", "C"})
        results.addResult(50 - results.count(), path, results.count() + 1, "t");
    credited.creditResults(results);
    credited.creditResults(results);  // a second crediting of the same run raises nothing
    EXPECT_EQ(table(credited), "A:1000 B:1000 C:998 ");
    EXPECT_EQ(runPass(credited, ""), (Strings{"A", "B", "C"}));
    EXPECT_EQ(table(credited), "A:990 B:990 C:988 ");
    results.clearResults();
    credited.creditResults(results);
    credited.credit("C", 5);  // no results: the counter keeps 1000 from the last position 0
    EXPECT_EQ(credited.entry(2).priority, 1000);
    // Path terms, then priority, then table order; binary stays skipped.
    credited.clear();
    const std::pair<const char*, int32_t> added[] = {
        {"main_util.c", 0}, {"a.c", 1000},           {"b.c", 5},
        {"x.bin", 500},     {"main.bin", 0},         {"q", 20},
        {"w", 20},          {"main_top", INT32_MAX}, {"min", INT32_MIN}};
    for (const auto& [path, priority] : added)
        credited.add(path, priority);
    credited.markBinary("x.bin");
    credited.markBinary("main.bin");
    credited.markSearched("a.c");
    EXPECT_EQ(runPass(credited, "main util"),
              (Strings{"main_top", "main_util.c", "main.bin", "a.c", "q", "w"}));
    EXPECT_EQ(std::make_tuple(credited.isSearched("a.c"), credited.isSearched("x.bin"),
                              credited.entry(8).priority),
              std::make_tuple(false, true, 0));
    // A term in both folder and name counts once; one holding a separator spans the folder's end.
    credited.clear();
    for (const char* path :
         {"q/r.c", "main/main.c", "util/x.c", "p/main/util.c", "main_util", "ma/in.c", "ma/x/in.c"})
        credited.add(path, 0);
    EXPECT_EQ(runPass(credited, "main util"),
              (Strings{"p/main/util.c", "main_util", "main/main.c", "util/x.c"}));
    EXPECT_EQ(runPass(credited, "a/i"), (Strings{"ma/in.c"}));
    // A scan that removes entries changes nothing; a clear in the pump ends it.
    credited.clear();
    for (const char* path : {"0", "1", "2", "3"})
        credited.add(path, 100);
    EXPECT_EQ(runPass(credited, "", [&] { credited.remove("0"), credited.remove("2"); }),
              (Strings{"0", "1", "2", "3"}));
    EXPECT_EQ(runPass(credited, "", [&] { credited.clear(); }).size(), 1u);
    // From the 1001st distinct file in rank order nothing is raised.
    results.clearResults();
    for (int i = 0; i < 1002; ++i) {
        credited.add(std::to_string(i).c_str(), 0);
        results.addResult(5000 - i, std::to_string(i).c_str(), 1, "t");
    }
    credited.creditResults(results);
    EXPECT_EQ(std::make_pair(credited.entry(999).priority, credited.entry(1000).priority),
              std::make_pair(1, 0));
}

}  // namespace
}  // namespace tarvo
