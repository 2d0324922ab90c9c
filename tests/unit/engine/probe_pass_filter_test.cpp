#include "engine/probe_pass_filter.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <random>
#include "engine/vector_bytes.h"
#include "support/reference_marks.h"

namespace tarvo {

// One to eight probes, scanned on from each stop: each line feed, NUL and probed term, no further.
TEST(ProbePassFilter, MissNoOccurrenceNulOrLineFeed) {
    const std::pair<const char*, int32_t> cases[] = {
        {"kmalloc", 1},
        {"Foo x_", 2},
        {"b/* \xe9T q", 3},
        {"\"\" ab ba abc", 3},
        {"a1 a2 a3 a4 a5 a6 a7 a8 a9 bb", 8},
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab", 1}};
    std::mt19937 random(11);
    for (const auto& [query, probedCount] : cases) {
        TermTable terms;
        terms.parseTerms(query);
        for (bool wide : {false, vectors::processorHasAvx2()}) {
            ProbePassFilter probes;
            probes.setWide(wide);
            probes.setTerms(terms);
            probes.prepare(TermSet::firstTerms(terms.count()));
            ASSERT_EQ(probes.count(), probedCount) << query;
            for (int round = 0; round < 300; ++round) {
                // Now and then a long run of line feeds, to fill the counters.
                const bool feeds = round % 50 == 0;
                const int32_t length = static_cast<int32_t>(random() % (feeds ? 20000 : 700));
                std::string bytes(length + kProbeReach, '\n');
                for (char& c : bytes)
                    c = feeds ? c : "aAbBkKmMlLoOcCfFxX_/*12\n\n\0\xe9\xc9tTq "[random() % 33];
                const bool findNuls = round % 2 == 0;
                int64_t lineFeeds = 0;
                std::string found(length + kScanBlock, ' ');  // N: a NUL, S: a start
                for (int32_t pos = 0; pos < length;) {
                    ProbeHits hits;
                    const int32_t passed =
                        probes.scan(bytes.data() + pos, length - pos, findNuls, &lineFeeds, &hits);
                    for (int32_t bit = 0; bit < kScanBlock; ++bit)
                        found[pos + hits.block + bit] = hits.nuls >> bit & 1     ? 'N'
                                                        : hits.starts >> bit & 1 ? 'S'
                                                                                 : ' ';
                    pos += passed;
                }
                SCOPED_TRACE(std::string(wide ? "wide " : "narrow ") + query);
                EXPECT_EQ(found.find_first_not_of(' ', length), std::string::npos);
                EXPECT_EQ(lineFeeds, std::count(bytes.begin(), bytes.begin() + length, '\n'));
                for (int32_t i = 0; i < length; ++i) {
                    EXPECT_EQ(found[i] == 'N', findNuls && bytes[i] == '\0') << i;
                    for (int32_t k = 0; k < probes.count() && bytes[i] != '\0'; ++k) {
                        const bool occurs =
                            testing::occursAt(terms, std::string_view(bytes).substr(0, length), i,
                                              terms.term(probes.term(k)));
                        EXPECT_TRUE(!occurs || found[i] == 'S') << probes.term(k) << " at " << i;
                    }
                }
            }
        }
    }
}

}  // namespace tarvo
