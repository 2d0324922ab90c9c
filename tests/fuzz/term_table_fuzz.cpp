// parseTerms on any Find text: the table keeps its limits, its first-byte flags are exactly the
// terms' first bytes in either case, and quoting the parsed terms back gives the same terms.
#include <cstring>
#include <string>
#include <vector>

#include "engine/term_table.h"
#include "fuzz/fuzz_support.h"

namespace tarvo {
namespace {

std::vector<std::string> termsOf(const TermTable& table) {
    std::vector<std::string> terms;
    for (int32_t i = 0; i < table.count(); ++i)
        terms.emplace_back(table.term(i).text, table.term(i).length);
    return terms;
}

// A Find text that parses back to `term`: quoted, its quotes and backslashes escaped.
std::string quoted(const std::string& term) {
    std::string text = "\"";
    for (char c : term) {
        if (c == '"' || c == '\\') text += '\\';
        text += c;
    }
    return text + "\" ";
}

}  // namespace
}  // namespace tarvo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvo;
    const std::string_view findText(reinterpret_cast<const char*>(data), size);
    static TermTable table;  // reused, as the program reuses it from run to run
    table.parseTerms(findText);
    FUZZ_CHECK(table.count() <= kMaxTerms);
    for (int32_t i = 0; i < table.count(); ++i) {
        const QueryTerm& term = table.term(i);
        // Term bytes are never NUL: the scanner relies on a NUL ending a match.
        FUZZ_CHECK(term.length <= kMaxTermLength && std::strlen(term.text) == size_t(term.length));
    }
    for (int c = 0; c < 256; ++c) {
        bool starts = false;
        for (int32_t i = 0; i < table.count(); ++i)
            starts |= foldAscii(static_cast<uint8_t>(table.term(i).text[0])) ==
                      foldAscii(static_cast<uint8_t>(c));
        FUZZ_CHECK(table.isFirstChar(static_cast<uint8_t>(c)) == starts);
    }
    std::string requoted;
    std::vector<std::string> shortTerms;
    for (const std::string& term : termsOf(table)) {
        if (term.size() == static_cast<size_t>(kMaxTermLength)) continue;
        shortTerms.push_back(term);
        requoted += quoted(term);
    }
    table.parseTerms(requoted);
    FUZZ_CHECK(termsOf(table) == shortTerms);
    return 0;
}
