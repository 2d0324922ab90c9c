// loadDocument on any file, then every line's row built and coloured as the
// preview pane paints it, and colourLine once more over each whole line.
// The input's first line is the Find text whose terms mark the rows; its
// first byte, when odd, names the file so that it is not coloured.
#include <cstring>
#include <string>
#include <vector>

#include "engine/search_request.h"
#include "engine/term_table.h"
#include "fuzz/fuzz_support.h"
#include "preview/preview_document.h"
#include "preview/preview_pane_rules.h"
#include "view/text_class.h"

namespace tarvo {
namespace {

constexpr uint8_t kCanary = 0xA5;

bool isKnownClass(uint8_t attribute) {
    const uint8_t textClass = textClassOf(attribute);
    return textClass == Plain || textClass == Gutter || textClass == Comment ||
           textClass == Keyword;
}

}  // namespace
}  // namespace tarvo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvo;
    fuzzing::InputCursor input(data, size);
    const bool coloured = (input.byte() & 1) == 0;
    static TermTable terms;
    terms.parseTerms(input.until('\n'));
    const std::string_view content = input.rest();

    static const std::string cFile = fuzzing::scratch().file("shown.c");
    static const std::string textFile = fuzzing::scratch().file("shown.txt");
    const std::string& path = coloured ? cFile : textFile;
    fuzzing::writeFile(path, content);

    static PreviewDocument document;  // reused, as the pane reuses its one document
    FUZZ_CHECK(document.loadDocument(path, kDefaultHighlightList));
    FUZZ_CHECK(document.coloured() == coloured);
    const int32_t lines = document.lineCount();
    FUZZ_CHECK(lines >= 1);

    // The lines cover the text exactly, in order; each but the last ends
    // with its line feed.
    std::string joined;
    for (int32_t line = 1; line <= lines; ++line) {
        const LineRange range = document.lineRange(line);
        FUZZ_CHECK(range.start <= range.end);
        const std::string_view bytes(document.text() + range.start, range.end - range.start);
        FUZZ_CHECK(line == lines || bytes.ends_with('\n'));
        FUZZ_CHECK(bytes.find('\n') == bytes.size() - 1 || line == lines);
        FUZZ_CHECK(document.commentState(line) == 0 || document.commentState(line) == 1);
        joined += bytes;
    }
    FUZZ_CHECK(joined == content);
    FUZZ_CHECK(document.text()[joined.size()] == '\0');

    std::string row;
    std::vector<uint8_t> attrs;
    for (int32_t line = 1; line <= lines; ++line) {
        buildPreviewRow(document, line, terms, row, attrs);
        FUZZ_CHECK(row.size() <= static_cast<size_t>(kMaxPreviewRowBytes));
        FUZZ_CHECK(attrs.size() == row.size());
        for (size_t i = 0; i < attrs.size(); ++i) {
            FUZZ_CHECK(isKnownClass(attrs[i]));
            FUZZ_CHECK(i >= static_cast<size_t>(kGutterBytes) || attrs[i] == Gutter);
        }

        // The whole line, however long, up to its first NUL: colouring
        // writes only inside it and only known classes.
        const LineRange range = document.lineRange(line);
        std::string text(document.text() + range.start, range.end - range.start);
        text.resize(std::strlen(text.c_str()));
        std::vector<uint8_t> marks(text.size() + 1, 0);
        terms.markTermMatches(text.c_str(), marks.data());
        marks[text.size()] = kCanary;
        document.colourLine(line, text.c_str(), marks.data());
        FUZZ_CHECK(marks[text.size()] == kCanary);
        for (size_t i = 0; i < text.size(); ++i)
            FUZZ_CHECK(isKnownClass(marks[i]));
    }
    return 0;
}
