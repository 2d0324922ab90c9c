// parseTerms on any Find text: the table keeps its limits, and no term holds a NUL.
#include <cstring>

#include "engine/term_table.h"
#include "fuzz/fuzz_support.h"

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
    return 0;
}
