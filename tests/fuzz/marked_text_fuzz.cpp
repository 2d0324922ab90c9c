// The window-free half of drawing a marked text. The input is a width table
// for a fake measurer (byte 0: the width to fit; bytes 1-16: the width of
// each byte value modulo 16), then pairs of text byte and attribute byte.
// nextRun must cut the text (up to its first NUL) into maximal runs of one
// attribute with tabs expanded from the run's start; fitTextToWidth must
// keep a head, the dots and a tail of the text with their attributes, fit
// whenever it keeps any text, and measure a bounded number of times.
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "view/marked_text.h"
#include "view/text_class.h"

namespace tarvo {
namespace {

std::string expandRun(std::string_view bytes) {
    std::string run;
    for (char c : bytes) {
        if (c == '\t') {
            run.append(kTabWidth - run.size() % kTabWidth, ' ');
        } else if (c == '\r' || c == '\n') {
            run += ' ';
        } else {
            run += c;
        }
    }
    return run;
}

void checkRuns(const std::string& text, const std::vector<uint8_t>& attrs) {
    const size_t length = text.find('\0') == std::string::npos ? text.size() : text.find('\0');
    // Exactly one attribute byte per text byte before the terminator, so any
    // read past them is an overflow the sanitizer reports.
    const std::vector<uint8_t> exact(attrs.begin(), attrs.begin() + length);
    std::string run;
    uint8_t attribute = 0;
    int at = 0;
    for (int after; (after = nextRun(text.c_str(), exact.data(), at, run, attribute)) != at;
         at = after) {
        FUZZ_CHECK(after > at && static_cast<size_t>(after) <= length);
        FUZZ_CHECK(attribute == exact[at]);
        for (int i = at; i < after; ++i)
            FUZZ_CHECK(exact[i] == attribute);
        FUZZ_CHECK(static_cast<size_t>(after) == length || exact[after] != attribute);
        FUZZ_CHECK(run == expandRun(std::string_view(text).substr(at, after - at)));
    }
    FUZZ_CHECK(static_cast<size_t>(at) == length);
    FUZZ_CHECK(run.empty());
}

}  // namespace
}  // namespace tarvo

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvo;
    fuzzing::InputCursor input(data, size);
    const int maxWidth = input.byte() * 4;
    int widthOf[16];
    for (int& w : widthOf)
        w = input.byte() % 9;  // 0 to 8 units; zero-width bytes exist in real fonts too
    std::string text;
    std::vector<uint8_t> attrs;
    const std::string_view pairs = input.rest();
    for (size_t i = 0; i + 1 < pairs.size(); i += 2) {
        text += pairs[i];
        attrs.push_back(static_cast<uint8_t>(pairs[i + 1]));
    }

    checkRuns(text, attrs);

    int measured = 0;
    const WidthFunction width = [&](const char* bytes, int length) {
        ++measured;
        int total = 0;
        for (int i = 0; i < length; ++i)
            total += widthOf[static_cast<uint8_t>(bytes[i]) % 16];
        return total;
    };
    std::string fitted = text;
    std::vector<uint8_t> fittedAttrs = attrs;
    fitTextToWidth(fitted, fittedAttrs, maxWidth, width);
    FUZZ_CHECK(measured <= 1 + kMaxFitProbes);
    FUZZ_CHECK(fittedAttrs.size() == fitted.size());
    measured = 0;
    if (width(text.data(), static_cast<int>(text.size())) <= maxWidth) {
        FUZZ_CHECK(fitted == text && fittedAttrs == attrs);
    } else {
        // head (tail / 2 bytes), "...", tail bytes, tail at most 2/3 of the text.
        FUZZ_CHECK(fitted.size() >= 3);
        const size_t tail = fitted.size() - 3 - (fitted.size() - 3) / 3;
        const size_t head = tail / 2;
        FUZZ_CHECK(head + 3 + tail == fitted.size());
        FUZZ_CHECK(tail <= 2 * (text.size() / 3));
        FUZZ_CHECK(fitted.compare(0, head, text, 0, head) == 0);
        FUZZ_CHECK(fitted.compare(head, 3, "...") == 0);
        FUZZ_CHECK(fitted.compare(head + 3, tail, text, text.size() - tail, tail) == 0);
        for (size_t i = 0; i < head; ++i)
            FUZZ_CHECK(fittedAttrs[i] == attrs[i]);
        // Under the dots: the class of the byte that stood there (the last
        // byte's past a short text's end), never the mark.
        for (size_t i = head; i < head + 3; ++i) {
            const uint8_t covered = i < attrs.size() ? attrs[i] : attrs.empty() ? 0 : attrs.back();
            FUZZ_CHECK(fittedAttrs[i] == textClassOf(covered));
        }
        for (size_t i = 0; i < tail; ++i)
            FUZZ_CHECK(fittedAttrs[head + 3 + i] == attrs[text.size() - tail + i]);
        if (tail > 0) FUZZ_CHECK(width(fitted.data(), static_cast<int>(fitted.size())) <= maxWidth);
    }
    checkRuns(fitted, fittedAttrs);
    return 0;
}
