// parseTerms on any Find text keeps its limits; the line after a NUL is marked as the reference.
#include <cstring>
#include <string>
#include <vector>

#include "engine/term_table.h"
#include "fuzz/fuzz_support.h"
#include "support/reference_marks.h"

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
    const size_t nul = findText.find('\0');
    const std::string rest(nul == findText.npos ? "" : findText.substr(nul + 1));
    const std::string line(rest.c_str());  // up to its own NUL, as markTermMatches reads it
    int32_t count = 0;
    const std::vector<uint8_t> want = testing::referenceMarks(table, line, &count);
    std::vector<uint8_t> marks(line.size(), 0x3F);
    table.markTermMatches(line.c_str(), marks.data());
    FUZZ_CHECK(marks == want);
    FUZZ_CHECK(table.countTermsIn(line.c_str()) == count);
    return 0;
}
