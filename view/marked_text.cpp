#include "view/marked_text.h"

#include "view/text_class.h"

namespace tarvo {

int nextRun(const char* text, const uint8_t* attrs, int start, int& column, std::string& runText,
            uint8_t& attribute) {
    runText.clear();
    // The terminator has no attribute byte of its own: stop before reading one.
    if (text[start] == '\0') return start;
    attribute = attrs[start];
    int i = start;
    for (; text[i] != '\0' && attrs[i] == attribute; ++i) {
        char c = text[i];
        if (c == '\t') {
            const int spaces = kTabWidth - column % kTabWidth;
            runText.append(spaces, ' ');
            column += spaces;
            continue;
        }
        runText += (c == '\r' || c == '\n') ? ' ' : c;
        ++column;
    }
    return i;
}

namespace {

constexpr char kDots[] = "...";
constexpr int kDotCount = 3;

// The candidate for keeping `tail` bytes at the end: the first tail/2 bytes,
// the dots, the last tail bytes.
void buildCandidate(const std::string& text, int tail, std::string& candidate) {
    candidate.assign(text, 0, tail / 2);
    candidate += kDots;
    candidate.append(text, text.size() - tail, tail);
}

}  // namespace

void fitTextToWidth(std::string& text, std::vector<uint8_t>& attrs, int maxWidth,
                    const WidthFunction& width) {
    const int length = static_cast<int>(text.size());
    if (width(text.data(), length) <= maxWidth) return;

    // k may be anything from 0 to two thirds of the text, so that head
    // (k/2), dots and tail together are never longer than the text itself.
    int lo = 0;
    int hi = 2 * (length / 3);
    std::string candidate;
    for (int probe = 0; probe < kMaxFitProbes && hi - lo > 2; ++probe) {
        int mid = (hi + lo) / 2;
        buildCandidate(text, mid, candidate);
        int w = width(candidate.data(), static_cast<int>(candidate.size()));
        if (w == maxWidth) {
            lo = mid;
            break;
        }
        if (w < maxWidth) {
            lo = mid;
        } else {
            hi = mid;
        }
    }

    const int head = lo / 2;
    std::vector<uint8_t> fitted(attrs.begin(), attrs.begin() + head);
    // Under the dots: the classes of the bytes they cover, marks dropped. A
    // text of one or two bytes is shorter than the dots; the missing places
    // repeat the class of its last byte (Plain for an empty text).
    for (int i = head; i < head + kDotCount; ++i) {
        uint8_t covered = Plain;
        if (i < length) {
            covered = attrs[i];
        } else if (length > 0) {
            covered = attrs[length - 1];
        }
        fitted.push_back(textClassOf(covered));
    }
    fitted.insert(fitted.end(), attrs.begin() + (length - lo), attrs.begin() + length);

    buildCandidate(text, lo, candidate);
    text.swap(candidate);
    attrs.swap(fitted);
}

}  // namespace tarvo
