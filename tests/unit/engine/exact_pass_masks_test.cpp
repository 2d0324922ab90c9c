#include "engine/exact_pass_masks.h"
#include <gtest/gtest.h>
#include <cstring>
#include <random>
#include "engine/vector_bytes.h"

namespace tarvo {

// The scanner test checks the masks the processor takes; SSE2's 16-byte ones must agree.
TEST(ExactPassMasks, MasksOfBothWidthsAgree) {
    if (!vectors::processorHasAvx2()) GTEST_SKIP() << "no AVX2 here: both widths would be 16 bytes";
    std::mt19937 random(7);
    std::string bytes(kScanBlock * (kMaskBatch - 1) + kScanBlockReach, ' ');
    for (char& c : bytes)
        c = random() % 2 ? static_cast<char>(random()) : "fFoObBaArR/*\n\r\0x"[random() % 16];
    for (const char* query : {"foo BAR", "k x/ *", "\"\" bar", "fo ba ab b/ /* */ \\r\\n x y z"}) {
        TermTable terms;
        terms.parseTerms(query);
        ExactPassMasks blocks[2];
        std::array<BlockMasks, kMaskBatch> masks[2];
        for (int wide = 0; wide < 2; ++wide) {
            blocks[wide].setWide(wide);
            blocks[wide].prepare(terms);
            blocks[wide].masksFor(bytes.data(), kMaskBatch, true, masks[wide].data());
        }
        EXPECT_EQ(std::memcmp(masks[0].data(), masks[1].data(), sizeof masks[0]), 0) << query;
    }
}

}  // namespace tarvo
