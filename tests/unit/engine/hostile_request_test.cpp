// Whole runs over requests at and past their limits: a Find text of 10,000
// characters made of 100 quoted terms, and a Path text of 150 real roots.
#include <gtest/gtest.h>

#include <set>
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

class HostileRequestTest : public testing::EngineTest {};

TEST_F(HostileRequestTest, AHundredQuotedTermsInTenThousandCharacters) {
    // Term i: "term NN " and filler, 97 bytes with blanks inside; quoted and
    // followed by a blank, 100 characters each.
    std::string findText;
    std::string file;
    for (int i = 0; i < kMaxTerms; ++i) {
        std::string term = "term " + std::to_string(100 + i).substr(1) + " ";
        term += std::string(97 - term.size(), static_cast<char>('a' + i % 26));
        findText += "\"" + term + "\" ";
        file += "found: " + term + "\n";  // line i + 1 holds term i
    }
    ASSERT_EQ(findText.size(), 10000u);
    // Where the text enters the program it is cut to 9,999 characters: only
    // the last blank goes, so all 100 terms survive.
    request.findText = cutToTextLimit(findText);
    request.pathText = tree.write("terms.txt", file);
    request.options.searchFileNames = 0;
    engine.runSearch();

    ASSERT_EQ(engine.terms().count(), kMaxTerms);
    for (int32_t i = 0; i < kMaxTerms; ++i)
        EXPECT_EQ(engine.terms().term(i).length, 97) << "term " << i;
    EXPECT_EQ(engine.stats().files, 1);
    ASSERT_EQ(results.count(), kMaxTerms) << "the file holds every term: each line is a result";
    std::set<int32_t> lines;
    for (int32_t i = 0; i < results.count(); ++i) {
        const ResultEntry& entry = results.rankEntry(i);
        lines.insert(entry.lineNumber);
        EXPECT_EQ(entry.score / 1000000, 1) << "one term present on line " << entry.lineNumber;
        EXPECT_EQ(entry.lineText.substr(0, 15),
                  "found: term " + std::to_string(100 + entry.lineNumber - 1).substr(1) + " ");
    }
    EXPECT_EQ(lines.size(), 100u);
}

TEST_F(HostileRequestTest, AHundredAndFiftyRealRoots) {
    std::set<std::string> first100;
    for (int i = 0; i < 150; ++i) {
        const std::string root = tree.mkdir(numberedName("r", i));
        const std::string file = tree.write(numberedName("r", i) + "/f.txt", "needle\n");
        request.pathText += root + ";";
        if (i < kMaxRoots) first100.insert(file);
    }
    ASSERT_LE(request.pathText.size(), static_cast<size_t>(kMaxTextLength));
    request.findText = "needle";
    engine.runSearch();

    // Roots past the hundredth are ignored, not reported.
    EXPECT_EQ(engine.roots().size(), 100u);
    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(engine.stats().files, 100);
    std::set<std::string> found;
    for (int32_t i = 0; i < results.count(); ++i)
        found.insert(results.rankEntry(i).path);
    EXPECT_EQ(found, first100);
}

}  // namespace
}  // namespace tarvo
