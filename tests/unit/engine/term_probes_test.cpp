// The first pass's probes against the bytes' meaning: scanned the way the
// first pass scans (on from where each stop was), every line feed is
// counted once, every NUL stops it, and every occurrence of a probed term
// is among the starts; nothing is reported past the end, whatever the
// bytes behind it.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>

#include "engine/term_probes.h"

namespace tarvo {
namespace {

TEST(TermProbes, FindEveryOccurrenceNulAndLineFeedOnceForEveryTermCount) {
    const struct {
        const char* query;
        int32_t probed;
    } cases[] = {
        {"kmalloc", 1},
        {"Foo x_", 2},                         // a one-byte term
        {"b/* \xe9T q", 3},                    // non-letters; bytes above 127 never fold
        {"\"\" ab ba abc", 3},                 // an empty term is never probed
        {"a1 a2 a3 a4 a5 a6 a7 a8 a9 bb", 8},  // only the first eight are
        {"aaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaaab",
         1},  // the rarest byte far in
    };
    std::mt19937 random(11);
    for (const auto& [query, probedCount] : cases) {
        TermTable terms;
        terms.parseTerms(query);
        std::array<bool, kMaxTerms> wanted;
        wanted.fill(true);
        for (bool wide : {false, true}) {
            SCOPED_TRACE(std::string(wide ? "wide " : "narrow ") + query);
            TermProbes probes;
            probes.setWide(wide);
            probes.setTerms(terms);
            probes.prepare(wanted);
            std::set<int32_t> probed;
            for (int32_t k = 0; k < probes.count(); ++k)
                probed.insert(probes.term(k));
            EXPECT_EQ(probes.count(), probedCount);
            for (int round = 0; round < 300; ++round) {
                static constexpr char kRich[] = "aAbBkKmMlLoOcCfFxX_/*12345\n\n\0\xe9\xc9tTq ";
                // Now and then a long run of line feeds, to fill the counters.
                const bool feeds = round % 50 == 0;
                const int32_t length = static_cast<int32_t>(random() % (feeds ? 20000 : 700));
                std::string bytes(length + kProbeReach, '\n');
                for (char& c : bytes)
                    c = feeds ? c : kRich[random() % (sizeof kRich - 1)];
                const bool findNuls = round % 2 == 0;
                int64_t lineFeeds = 0;
                std::set<int32_t> nuls, starts;
                for (int32_t pos = 0; pos < length;) {
                    ProbeHits hits;
                    const int32_t passed =
                        probes.scan(bytes.data() + pos, length - pos, findNuls, &lineFeeds, &hits);
                    ASSERT_GT(passed, 0);
                    for (int32_t bit = 0; bit < 64; ++bit) {
                        const int32_t at = pos + hits.block + bit;
                        if (hits.nuls >> bit & 1) nuls.insert(at);
                        if (hits.starts >> bit & 1) starts.insert(at);
                        EXPECT_TRUE(at < length || ((hits.nuls | hits.starts) >> bit & 1) == 0);
                    }
                    pos += passed;
                }
                const std::string scanned = bytes.substr(0, length);
                EXPECT_EQ(lineFeeds, std::count(scanned.begin(), scanned.end(), '\n'));
                for (int32_t i = 0; i < length; ++i) {
                    EXPECT_EQ(nuls.count(i) == 1, findNuls && scanned[i] == '\0') << i;
                    for (int32_t t : probed) {
                        const bool occurs =
                            terms.termMatchAt(scanned.data() + i, scanned.data() + length, t);
                        EXPECT_TRUE(!occurs || starts.count(i)) << "term " << t << " at " << i;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace tarvo
