// The block masks against their byte-by-byte meaning, over random blocks of
// every byte value and of a term-rich alphabet.
#include <gtest/gtest.h>

#include <array>
#include <random>
#include <string>

#include "engine/scan_blocks.h"
#include "engine/term_table.h"

namespace tarvo {
namespace {

TEST(BlockScanner, MasksMeanWhatTheyNameForEveryTermShape) {
    const char* const queries[] = {
        "foo BAR",                         // letter pairs, both cases
        "int INLINE in",                   // one start, different third bytes
        "k GFP_ x/ *",                     // one-byte terms, non-letters, an underscore
        "\"\" bar",                        // an empty term: byte 0 is a first byte
        "fo ba ab b/ /* */ \\r\\n x y z",  // more pairs than the blocks compare
        "\xe9t \xc9T \\n",                 // bytes above 127 never fold
        "",                                // no terms: no term starts
    };
    std::mt19937 random(7);
    for (const char* query : queries) {
        SCOPED_TRACE(std::string("query ") + query);
        TermTable terms;
        terms.parseTerms(query);
        BlockScanner blocks;
        blocks.prepare(terms);
        BlockScanner narrow;
        narrow.setWide(false);
        narrow.prepare(terms);
        for (int round = 0; round < 2000; ++round) {
            // Half the rounds over every byte value, half over bytes the terms
            // and the marks are made of.
            static constexpr char kRich[] = "fFoObBaArR/*\n\r\0xkKgGpP_\xe9\xc9tT";
            const std::string rich(kRich, sizeof kRich - 1);
            std::string block(kScanBlockReach, ' ');
            for (char& c : block) {
                c = round % 2 ? static_cast<char>(random() & 0xFF) : rich[random() % rich.size()];
            }
            BlockMasks masks;
            blocks.masksFor(block.data(), 1, &masks);
            // 16-byte and 32-byte compares give the same masks.
            BlockMasks narrowMasks;
            narrow.masksFor(block.data(), 1, &narrowMasks);
            EXPECT_EQ(masks.lineFeeds, narrowMasks.lineFeeds);
            EXPECT_EQ(masks.nuls, narrowMasks.nuls);
            EXPECT_EQ(masks.commentMarks, narrowMasks.commentMarks);
            EXPECT_EQ(masks.termStarts, narrowMasks.termStarts);
            for (int32_t i = 0; i < kScanBlock; ++i) {
                const uint64_t bit = uint64_t{1} << i;
                const uint8_t c = static_cast<uint8_t>(block[i]);
                const char next = block[i + 1];
                EXPECT_EQ((masks.lineFeeds & bit) != 0, c == '\n') << i;
                EXPECT_EQ((masks.nuls & bit) != 0, c == 0) << i;
                const bool mark = (c == '/' && next == '*') || (c == '*' && next == '/');
                EXPECT_EQ((masks.commentMarks & bit) != 0, mark) << i;
                // Every occurrence is a term start; every term start has its
                // FirstCharTable flag set.
                bool occurs = false;
                for (int32_t t = 0; t < terms.count(); ++t) {
                    occurs = occurs ||
                             terms.termMatchAt(block.data() + i, block.data() + block.size(), t);
                }
                const bool start = (masks.termStarts & bit) != 0;
                EXPECT_TRUE(start || !(occurs && terms.isFirstChar(c))) << "missed at " << i;
                EXPECT_TRUE(!start || terms.isFirstChar(c)) << "no first byte at " << i;
            }
        }
    }
}

TEST(BlockScanner, ABatchOfBlocksGivesEachBlocksOwnMasks) {
    TermTable terms;
    terms.parseTerms("foo /");
    std::mt19937 random(3);
    std::string bytes(kScanBlock * (kMaskBatch - 1) + kScanBlockReach, ' ');
    for (char& c : bytes)
        c = "fo/*\n\0 x"[random() % 8];
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "wide" : "narrow");
        BlockScanner blocks;
        blocks.setWide(wide);
        blocks.prepare(terms);
        std::array<BlockMasks, kMaskBatch> batch;
        blocks.masksFor(bytes.data(), kMaskBatch, batch.data());
        for (int32_t b = 0; b < kMaskBatch; ++b) {
            BlockMasks single;
            blocks.masksFor(bytes.data() + kScanBlock * b, 1, &single);
            EXPECT_EQ(batch[b].lineFeeds, single.lineFeeds) << "block " << b;
            EXPECT_EQ(batch[b].nuls, single.nuls) << "block " << b;
            EXPECT_EQ(batch[b].commentMarks, single.commentMarks) << "block " << b;
            EXPECT_EQ(batch[b].termStarts, single.termStarts) << "block " << b;
            EXPECT_NE(single.lineFeeds, 0u) << "block " << b << " holds line feeds";
        }
    }
}

}  // namespace
}  // namespace tarvo
