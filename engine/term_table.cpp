#include "engine/term_table.h"

#include <algorithm>
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
    folded_.build(terms_.data(), count_, TermAutomaton::Matching::Folded);
    exact_.build(terms_.data(), count_, TermAutomaton::Matching::Exact);
    limitsMet_ = limits;
    return limits;
}

namespace {

// Calls visit(position, ending) at each byte of a NUL-terminated string
// where a term ends. A walk of the automaton starts only at a byte where a
// term may begin (strcspn jumps to the next) and goes on while one is under
// way.
template <typename Visit>
void forEachEnding(const TermAutomaton& automaton, const char* firstChars, const char* text,
                   Visit visit) {
    int32_t state = TermAutomaton::kRoot;
    for (const char* at = text + std::strcspn(text, firstChars); *at != '\0';
         at += std::strcspn(at, firstChars)) {
        do {
            state = automaton.step(state, static_cast<uint8_t>(*at));
            if (automaton.ends(state)) visit(at, automaton.ending(state));
            ++at;
        } while (state != TermAutomaton::kRoot && *at != '\0');
    }
}

}  // namespace

TermSet TermTable::termsIn(const char* text) const {
    TermSet found;
    forEachEnding(folded_, firstChars_.data(), text,
                  [&](const char*, const TermAutomaton::Ending& ending) { found |= ending.terms; });
    return found;
}

// The longest term ending at each byte is noted in its mark; then, from the
// last byte back, a byte is marked while the reach of the terms ending at
// or after it extends to it.
void TermTable::markTermMatches(const char* line, uint8_t* marks) const {
    const size_t length = std::strlen(line);
    if (length == 0) return;
    std::memset(marks, 0, length);
    forEachEnding(folded_, firstChars_.data(), line,
                  [&](const char* at, const TermAutomaton::Ending& ending) {
                      marks[at - line] = static_cast<uint8_t>(ending.longest);
                  });
    size_t reach = length;  // the first byte covered by a term ending at or after the current one
    for (size_t at = length; at-- > 0;) {
        if (marks[at] != 0) reach = std::min(reach, at + 1 - marks[at]);
        marks[at] = reach <= at ? kMarkBit : 0;
    }
}

}  // namespace tarvo
