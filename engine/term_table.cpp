#include "engine/term_table.h"

#include <cstring>

namespace tarvo {

namespace {

// The Find text ends at its last character or at a NUL, whichever comes first.
char charAt(std::string_view text, size_t index) {
    return index < text.size() ? text[index] : '\0';
}

char unescape(char c) {
    switch (c) {
        case 'r':
            return '\r';
        case 'n':
            return '\n';
        case 't':
            return '\t';
        default:
            return c;  // \" \\ and "\ " give the character itself
    }
}

// Lower-case form to upper-case form and back; other bytes have none.
uint8_t otherCase(uint8_t c) {
    if (c >= 'A' && c <= 'Z') return c + 32;
    if (c >= 'a' && c <= 'z') return c - 32;
    return c;
}

}  // namespace

// Four states: between terms -> term start -> in term -> end of term. A term
// ends at a blank (unquoted), at its closing quote (quoted), at the end of the
// text, or when it reaches kMaxTermLength; an empty term ("") still counts.
TermLimitsMet TermTable::parseTerms(std::string_view findText) {
    TermLimitsMet limits;
    count_ = 0;
    size_t at = 0;
    while (count_ < kMaxTerms) {
        // Between terms.
        while (charAt(findText, at) == ' ')
            ++at;
        if (charAt(findText, at) == '\0') break;

        // Term start.
        bool quoted = charAt(findText, at) == '"';
        if (quoted) ++at;

        // In term.
        QueryTerm& term = terms_[count_];
        term.length = 0;
        for (;;) {
            char c = charAt(findText, at);
            if (c == '\0' || (c == ' ' && !quoted)) break;
            if (c == '"' && quoted) {
                ++at;
                break;
            }
            if (c == '\\' && charAt(findText, at + 1) != '\0') {
                term.text[term.length++] = unescape(charAt(findText, at + 1));
                at += 2;
            } else {
                term.text[term.length++] = c;  // also a final backslash, or a quote mid-word
                ++at;
            }
            if (term.length == kMaxTermLength) {  // the rest begins a new term
                c = charAt(findText, at);
                limits.termSplit |= c != '\0' && c != (quoted ? '"' : ' ');
                break;
            }
        }

        // End of term.
        term.text[term.length] = '\0';
        ++count_;
    }
    while (charAt(findText, at) == ' ')
        ++at;
    limits.termsDropped = charAt(findText, at) != '\0';

    firstChar_.fill(0);
    for (int32_t i = 0; i < count_; ++i) {
        uint8_t first = static_cast<uint8_t>(terms_[i].text[0]);  // 0 for an empty term
        firstChar_[first] = 1;
        firstChar_[otherCase(first)] = 1;
    }
    size_t listed = 0;
    for (int c = 1; c < 256; ++c) {
        if (firstChar_[c]) firstChars_[listed++] = static_cast<char>(c);
    }
    firstChars_[listed] = '\0';
    limitsMet_ = limits;
    return limits;
}

int32_t caseMatchKind(const char* at, const char* end, const QueryTerm& term) {
    if (end - at < term.length) return 0;
    int32_t kind = 2;
    for (int32_t k = 0; k < term.length; ++k) {
        uint8_t textByte = static_cast<uint8_t>(at[k]);
        uint8_t termByte = static_cast<uint8_t>(term.text[k]);
        if (textByte == termByte) continue;
        if (foldAscii(textByte) != foldAscii(termByte)) return 0;
        kind = 1;
    }
    return kind;
}

// One pass over the string: at each position firstChar_ admits, the
// terms not found yet are tried. The same terms count as when each term
// walks the string by itself.
int32_t TermTable::countTermsIn(const char* text) const {
    std::array<bool, kMaxTerms> found = {};
    int32_t count = 0;
    // strcspn jumps to the next byte firstChar_ admits, or to the NUL.
    for (const char* at = text + std::strcspn(text, firstChars_.data());
         *at != '\0' && count < count_; at += 1 + std::strcspn(at + 1, firstChars_.data())) {
        for (int32_t i = 0; i < count_; ++i) {
            if (!found[i] && termBytesAt(at, i)) {
                found[i] = true;
                ++count;
            }
        }
    }
    return count;
}

void TermTable::markTermMatches(const char* line, uint8_t* marks) const {
    size_t length = std::strlen(line);
    if (length == 0) return;
    std::memset(marks, 0, length);
    const char* end = line + length;
    for (size_t at = 0; at < length; ++at) {
        if (!isFirstChar(static_cast<uint8_t>(line[at]))) continue;
        for (int32_t i = 0; i < count_; ++i) {
            int32_t termLength = terms_[i].length;
            if (termLength == 0 || !termMatchAt(line + at, end, i)) continue;
            for (int32_t k = 0; k < termLength; ++k)
                marks[at + k] |= kMarkBit;
        }
    }
}

}  // namespace tarvo
