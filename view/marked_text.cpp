#include "view/marked_text.h"

#include "engine/wide_text.h"
#include "view/text_class.h"

namespace tarvo {

std::optional<int> parseTabWidth(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(' ') + 1 - first);
    if (text.empty() || text.size() > 2) return std::nullopt;
    int width = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        width = width * 10 + (c - '0');
    }
    if (width < kMinTabWidth || width > kMaxTabWidth) return std::nullopt;
    return width;
}

int nextRun(const char* text, const uint8_t* attrs, int start, int& column, std::string& runText,
            uint8_t& attribute, int tabWidth) {
    runText.clear();
    // The terminator has no attribute byte of its own: stop before reading one.
    if (text[start] == '\0') return start;
    attribute = attrs[start];
    int i = start;
    // Whole characters only: a character's first byte decides its run, so a
    // run never ends inside one and converts to UTF-16 on its own.
    while (text[i] != '\0' && attrs[i] == attribute) {
        const char c = text[i];
        if (c == '\t') {
            const int spaces = tabWidth - column % tabWidth;
            runText.append(spaces, ' ');
            column += spaces;
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            runText += ' ';
        } else {
            // No sequence is longer than 4 bytes, and the terminator ends
            // one before it: nothing past the text is read.
            const int length = decodeCharacter(text + i, text + i + 4).length;
            runText.append(text + i, length);
            i += length - 1;
        }
        ++column;
        ++i;
    }
    return i;
}

namespace {

constexpr char kDots[] = "...";
constexpr int kDotCount = 3;

// Where each character of a text begins, and its end last.
std::vector<int> characterStarts(const std::string& text) {
    std::vector<int> starts;
    const char* const begin = text.data();
    const char* const end = begin + text.size();
    for (const char* at = begin; at < end; at += decodeCharacter(at, end).length)
        starts.push_back(static_cast<int>(at - begin));
    starts.push_back(static_cast<int>(text.size()));
    return starts;
}

// The candidate for keeping `tail` characters at the end: the first tail/2
// characters, the dots, the last tail characters.
void buildCandidate(const std::string& text, const std::vector<int>& starts, int tail,
                    std::string& candidate) {
    const int characters = static_cast<int>(starts.size()) - 1;
    candidate.assign(text, 0, starts[tail / 2]);
    candidate += kDots;
    candidate.append(text, starts[characters - tail]);
}

}  // namespace

void fitTextToWidth(std::string& text, std::vector<uint8_t>& attrs, int maxWidth,
                    const WidthFunction& width) {
    const int length = static_cast<int>(text.size());
    if (width(text.data(), length) <= maxWidth) return;

    // Counted in characters, so no cut falls inside one. k may be anything
    // from 0 to two thirds of the text, so that head (k/2), dots and tail
    // together are never longer than the text itself.
    const std::vector<int> starts = characterStarts(text);
    const int characters = static_cast<int>(starts.size()) - 1;
    int lo = 0;
    int hi = 2 * (characters / 3);
    std::string candidate;
    for (int probe = 0; probe < kMaxFitProbes && hi - lo > 2; ++probe) {
        int mid = (hi + lo) / 2;
        buildCandidate(text, starts, mid, candidate);
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

    const int head = starts[lo / 2];
    const int tail = starts[characters - lo];
    std::vector<uint8_t> fitted(attrs.begin(), attrs.begin() + head);
    // Under the dots: the classes of the bytes they cover, marks dropped. A
    // text of one or two bytes is shorter than the dots; the missing places
    // repeat the class of its last byte (kPlainText for an empty text).
    for (int i = head; i < head + kDotCount; ++i) {
        uint8_t covered = kPlainText;
        if (i < length) {
            covered = attrs[i];
        } else if (length > 0) {
            covered = attrs[length - 1];
        }
        fitted.push_back(textClassOf(covered));
    }
    fitted.insert(fitted.end(), attrs.begin() + tail, attrs.begin() + length);

    buildCandidate(text, starts, lo, candidate);
    text.swap(candidate);
    attrs.swap(fitted);
}

}  // namespace tarvo
