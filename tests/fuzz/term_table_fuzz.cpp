// parseTerms on any Find text, and the matching operations over the same
// bytes read as a line. Checks the table's limits and first-byte flags,
// that quoting the parsed terms back gives the same terms, and the marks and
// counts against a brute-force search.
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

// A Find text that parses back to `term`: quoted, with the five escapes.
std::string quoted(const std::string& term) {
    std::string text = "\"";
    for (char c : term) {
        switch (c) {
            case '"':
                text += "\\\"";
                break;
            case '\\':
                text += "\\\\";
                break;
            case '\n':
                text += "\\n";
                break;
            case '\r':
                text += "\\r";
                break;
            case '\t':
                text += "\\t";
                break;
            default:
                text += c;
        }
    }
    return text + "\" ";
}

bool occursAt(const std::string& line, size_t at, const QueryTerm& term) {
    if (at + term.length > line.size()) return false;
    for (int32_t k = 0; k < term.length; ++k) {
        if (foldAscii(line[at + k]) != foldAscii(term.text[k])) return false;
    }
    return true;
}

}  // namespace
}  // namespace tarvo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvo;
    const std::string_view findText(reinterpret_cast<const char*>(data), size);
    static TermTable table;  // reused, as the program reuses it from run to run
    table.parseTerms(findText);

    FUZZ_CHECK(table.count() >= 0 && table.count() <= kMaxTerms);
    for (int32_t i = 0; i < table.count(); ++i) {
        const QueryTerm& term = table.term(i);
        FUZZ_CHECK(term.length >= 0 && term.length <= kMaxTermLength);
        // Term bytes are never NUL: the scanner relies on a NUL ending a match.
        FUZZ_CHECK(std::strlen(term.text) == static_cast<size_t>(term.length));
        const uint8_t first = static_cast<uint8_t>(term.text[0]);
        FUZZ_CHECK(table.isFirstChar(first));
        FUZZ_CHECK(table.isFirstChar(foldAscii(first)));
    }
    for (int c = 0; c < 256; ++c) {
        bool starts = false;
        for (int32_t i = 0; i < table.count(); ++i)
            starts |= foldAscii(static_cast<uint8_t>(table.term(i).text[0])) ==
                      foldAscii(static_cast<uint8_t>(c));
        FUZZ_CHECK(table.isFirstChar(static_cast<uint8_t>(c)) == starts);
    }

    // Quoting each term that is shorter than the limit gives it back.
    const std::vector<std::string> terms = termsOf(table);
    std::string requoted;
    std::vector<std::string> shortTerms;
    for (const std::string& term : terms) {
        if (term.size() == static_cast<size_t>(kMaxTermLength)) continue;
        shortTerms.push_back(term);
        requoted += quoted(term);
    }
    TermTable again;
    again.parseTerms(requoted);
    FUZZ_CHECK(termsOf(again) == shortTerms);

    // The input as a line (up to its first NUL): marks and counts agree with
    // a brute-force search. Bytes past the line keep their value.
    const std::string line(findText.substr(0, findText.find('\0')));
    std::vector<uint8_t> marks(line.size() + 1, 0xAA);
    table.markTermMatches(line.c_str(), marks.data());
    std::vector<uint8_t> expected(line.size(), 0);
    int32_t present = 0;
    for (int32_t i = 0; i < table.count(); ++i) {
        const QueryTerm& term = table.term(i);
        bool found = false;
        for (size_t at = 0; at < line.size(); ++at) {
            // Gated by the first-byte flags, as the scanner is: an empty
            // term is found only where some term can begin.
            if (!table.isFirstChar(line[at]) || !occursAt(line, at, term)) continue;
            found = true;
            for (int32_t k = 0; k < term.length; ++k)
                expected[at + k] = MarkBit;
        }
        present += found;
    }
    if (line.empty()) expected.assign(0, 0);
    FUZZ_CHECK(std::equal(expected.begin(), expected.end(), marks.begin()));
    FUZZ_CHECK(marks[line.size()] == 0xAA);
    FUZZ_CHECK(table.countTermsIn(line.c_str()) == present);
    return 0;
}
