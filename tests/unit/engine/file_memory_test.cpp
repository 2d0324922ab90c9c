#include "engine/file_memory.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/term_table.h"
#include "results/result_store.h"
#include "support/numbered_name.h"

namespace tarvo {
namespace {

using testing::numberedName;

std::vector<int32_t> priorities(const FileMemory& memory) {
    std::vector<int32_t> result;
    for (int32_t i = 0; i < memory.count(); ++i)
        result.push_back(memory.entry(i).priority);
    return result;
}

std::vector<std::string> paths(const FileMemory& memory) {
    std::vector<std::string> result;
    for (int32_t i = 0; i < memory.count(); ++i)
        result.push_back(memory.entry(i).path);
    return result;
}

// Runs the search-start pass and returns the paths it handed to the scanner.
std::vector<std::string> runPass(FileMemory& memory, const char* findText) {
    TermTable terms;
    terms.parseTerms(findText);
    std::vector<std::string> scanned;
    memory.rememberedFilesPass(terms, [&](const char* path) { scanned.push_back(path); });
    return scanned;
}

TEST(FileMemory, AddFindRemoveClear) {
    FileMemory memory;
    EXPECT_EQ(memory.capacity(), 0);
    EXPECT_EQ(memory.find("a"), -1);
    memory.add("a", 700);
    memory.add("a", 0);  // present: the priority stays
    memory.add("b", 1);
    memory.add("c", 2);
    memory.add("d", 3);
    EXPECT_EQ(memory.capacity(), kFileMemoryGrowth);
    EXPECT_EQ(priorities(memory), (std::vector<int32_t>{700, 1, 2, 3}));
    EXPECT_EQ(memory.find("c"), 2);
    EXPECT_EQ(memory.find("A"), -1);  // letter case matters

    memory.remove("b");  // the last entry moves into the hole
    EXPECT_EQ(paths(memory), (std::vector<std::string>{"a", "d", "c"}));
    EXPECT_EQ(memory.find("d"), 1);
    EXPECT_EQ(memory.find("b"), -1);
    memory.remove("c");  // removing the last entry itself
    memory.remove("zz");
    EXPECT_EQ(paths(memory), (std::vector<std::string>{"a", "d"}));

    {
        SCOPED_TRACE("flags");
        EXPECT_FALSE(memory.isSearched("a"));
        memory.markSearched("a");
        memory.markSearched("absent");
        memory.markBinary("absent");
        memory.credit("absent", 1);
        EXPECT_TRUE(memory.isSearched("a"));
        EXPECT_FALSE(memory.isSearched("absent"));
        memory.markBinary("d");
        EXPECT_EQ(memory.entry(1).priority, -1);
        EXPECT_TRUE(memory.entry(1).binary);
        EXPECT_EQ(memory.count(), 2);
    }

    memory.clear();
    EXPECT_EQ(memory.count(), 0);
    EXPECT_EQ(memory.capacity(), kFileMemoryGrowth);
    EXPECT_EQ(memory.find("a"), -1);
    memory.add("d", 5);
    EXPECT_EQ(memory.find("d"), 0);
    EXPECT_FALSE(memory.entry(0).binary);
}

TEST(FileMemory, CreditingExample) {
    FileMemory memory;
    memory.add("A", 0);
    memory.add("B", 1000);
    memory.add("C", 0);
    ResultStore results;
    results.clearResults();
    results.addResult(40, "A", 1, "t");
    results.addResult(30, "B", 1, "t");
    results.addResult(20, "A", 2, "t");
    results.addResult(10, "C", 1, "t");
    memory.creditResults(results);
    EXPECT_EQ(priorities(memory), (std::vector<int32_t>{1000, 1000, 998}));

    {
        SCOPED_TRACE("a second crediting of the same run raises nothing (credited flags)");
        ResultStore cBest;
        cBest.clearResults();
        cBest.addResult(1, "C", 1, "t");
        memory.creditResults(cBest);
        EXPECT_EQ(memory.entry(2).priority, 998);
    }

    EXPECT_EQ(runPass(memory, ""), (std::vector<std::string>{"A", "B", "C"}));
    EXPECT_EQ(priorities(memory), (std::vector<int32_t>{990, 990, 988}));

    {
        SCOPED_TRACE("no results: the counter keeps its value (1000 from the last position 0)");
        ResultStore empty;
        empty.clearResults();
        memory.creditResults(empty);
        memory.credit("C", 5);
        EXPECT_EQ(memory.entry(2).priority, 1000);
    }
    {
        SCOPED_TRACE("from the 1001st distinct file nothing is raised");
        FileMemory many;
        ResultStore store;
        store.clearResults();
        for (int i = 0; i < 1002; ++i) {
            std::string path = numberedName("f", 1000 + i);
            many.add(path.c_str(), 0);
            store.addResult(5000 - i, path.c_str(), 1, "t");
        }
        many.creditResults(store);
        EXPECT_EQ(many.entry(0).priority, 1000);
        EXPECT_EQ(many.entry(999).priority, 1);
        EXPECT_EQ(many.entry(1000).priority, 0);
        EXPECT_EQ(many.entry(1001).priority, 0);
    }
}

TEST(FileMemory, RememberedFilesPassOrder) {
    FileMemory memory;
    memory.add("C:\\p\\main_util.c", 0);
    memory.add("C:\\p\\a.c", 1000);
    memory.add("C:\\p\\b.c", 5);
    memory.add("C:\\p\\x.bin", 500);
    memory.add("C:\\p\\main.bin", 0);
    memory.markBinary("C:\\p\\x.bin");
    memory.markBinary("C:\\p\\main.bin");
    memory.markSearched("C:\\p\\a.c");

    EXPECT_EQ(runPass(memory, "main util"),
              (std::vector<std::string>{"C:\\p\\main_util.c", "C:\\p\\main.bin", "C:\\p\\a.c"}));
    EXPECT_EQ(priorities(memory), (std::vector<int32_t>{0, 990, 0, 0, 0}));
    {
        SCOPED_TRACE("searched becomes binary: known binary files stay skipped this run");
        EXPECT_FALSE(memory.isSearched("C:\\p\\a.c"));
        EXPECT_TRUE(memory.isSearched("C:\\p\\x.bin"));
        EXPECT_TRUE(memory.isSearched("C:\\p\\main.bin"));
    }
    {
        SCOPED_TRACE("equal keys in table order");
        FileMemory equal;
        for (const char* p : {"q", "w", "e", "r"})
            equal.add(p, 20);
        equal.add("t", 30);
        EXPECT_EQ(runPass(equal, ""), (std::vector<std::string>{"t", "q", "w", "e", "r"}));
    }
    {
        SCOPED_TRACE("priorities beyond what crediting gives do not overflow the key");
        FileMemory huge;
        huge.add("main_low", 1);
        huge.add("main_top", INT32_MAX);
        huge.add("plain", INT32_MAX - 5);
        EXPECT_EQ(runPass(huge, "main"),
                  (std::vector<std::string>{"main_top", "plain", "main_low"}));
        huge.add("min", INT32_MIN);
        runPass(huge, "");
        EXPECT_EQ(huge.entry(3).priority, 0);
    }
}

TEST(FileMemory, PassSurvivesRemovalsAndEndsOnClear) {
    FileMemory memory;
    for (int i = 0; i < 6; ++i)
        memory.add(numberedName("f", i).c_str(), 60 - 10 * i);
    {
        SCOPED_TRACE("scans that remove entries: the ordered files are still scanned");
        TermTable terms;
        std::vector<std::string> scanned;
        memory.rememberedFilesPass(terms, [&](const char* path) {
            scanned.push_back(path);
            if (scanned.size() == 1) {
                memory.remove("f0");  // the file vanished: the scanner forgets it
                memory.remove("f2");
            }
        });
        EXPECT_EQ(scanned, (std::vector<std::string>{"f0", "f1", "f2", "f3", "f4"}));
        EXPECT_EQ(memory.count(), 4);
    }
    {
        SCOPED_TRACE("a clear from inside the pump ends the pass");
        TermTable terms;
        terms.parseTerms("f");
        std::vector<std::string> scanned;
        memory.rememberedFilesPass(terms, [&](const char* path) {
            scanned.push_back(path);
            if (scanned.size() == 2) memory.clear();
        });
        EXPECT_EQ(scanned.size(), 2u);
        EXPECT_EQ(memory.count(), 0);
    }
}

TEST(FileMemory, HashIndexMatchesNaiveTable) {
    FileMemory memory;
    // The table as the plain rules make it: append when absent, the last
    // entry moves into a removed entry's place.
    std::vector<std::string> model;
    std::unordered_map<std::string, size_t> where;
    std::mt19937 random(11);
    auto check = [&](int step) {
        ASSERT_EQ(memory.count(), static_cast<int32_t>(model.size())) << step;
        for (int32_t i = 0; i < memory.count(); ++i) {
            ASSERT_EQ(memory.entry(i).path, model[i]) << step;
            ASSERT_EQ(memory.find(model[i].c_str()), i) << step;
        }
    };
    for (int step = 0; step < 60000; ++step) {
        const std::string path = "dir/file" + std::to_string(random() % 30000) + ".c";
        const uint32_t action = random() % 1000;
        auto it = where.find(path);
        if (action == 0) {
            memory.clear();
            model.clear();
            where.clear();
        } else if (action < 350) {
            memory.remove(path.c_str());
            if (it != where.end()) {
                const size_t hole = it->second;
                where.erase(it);
                if (hole != model.size() - 1) {
                    model[hole] = model.back();
                    where[model[hole]] = hole;
                }
                model.pop_back();
            }
        } else {
            memory.add(path.c_str(), 0);
            if (it == where.end()) {
                where[path] = model.size();
                model.push_back(path);
            }
        }
        ASSERT_EQ(memory.find(path.c_str()), where.count(path) ? int32_t(where[path]) : -1) << step;
        if (step % 5000 == 0) check(step);
        if (::testing::Test::HasFatalFailure()) return;
    }
    check(-1);
}

TEST(FileMemory, GrowsInStepsAndRefusesPastTheCap) {
    FileMemory memory;
    char path[16];
    for (int32_t i = 0; i < kMaxRememberedFiles; ++i) {
        std::snprintf(path, sizeof path, "%07d", i);
        memory.add(path, 1);
        if (i == kFileMemoryGrowth - 1) {
            EXPECT_EQ(memory.capacity(), kFileMemoryGrowth);
        }
        if (i == kFileMemoryGrowth) {
            EXPECT_EQ(memory.capacity(), 2 * kFileMemoryGrowth);
        }
    }
    EXPECT_EQ(memory.count(), kMaxRememberedFiles);
    EXPECT_EQ(memory.capacity(), kMaxRememberedFiles);
    memory.add("one more", 1);
    EXPECT_EQ(memory.count(), kMaxRememberedFiles);
    EXPECT_EQ(memory.find("one more"), -1);
    EXPECT_FALSE(memory.isSearched("one more"));
    EXPECT_EQ(memory.find("0999999"), kMaxRememberedFiles - 1);
    memory.remove("0000000");
    memory.add("one more", 1);  // room again
    EXPECT_EQ(memory.find("one more"), kMaxRememberedFiles - 1);
}

TEST(FileMemory, IndexesByPriority) {
    FileMemory memory;
    memory.add("a", 10);
    memory.add("b", 0);
    memory.add("c", 30);
    memory.add("d", 10);
    memory.add("e", -1);
    EXPECT_EQ(memory.indexesByPriority(), (std::vector<int32_t>{2, 0, 3, 1, 4}));
}

}  // namespace
}  // namespace tarvo
