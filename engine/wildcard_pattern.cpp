#include "engine/wildcard_pattern.h"

#include <algorithm>
#include <array>
#include <bit>
#include <utility>

namespace tarvo {

namespace {

// Steps held on the stack while matching; a pattern of more runs on the heap.
constexpr size_t kInlineStates = 64;

unsigned char lowerAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + ('a' - 'A')) : c;
}

bool isUpper(unsigned char c) {
    return c >= 'A' && c <= 'Z';
}
bool isLower(unsigned char c) {
    return c >= 'a' && c <= 'z';
}
bool isDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}
bool isAlpha(unsigned char c) {
    return isUpper(c) || isLower(c);
}
bool isGraph(unsigned char c) {
    return c > 0x20 && c < 0x7f;
}

// The classes Git's matcher knows, over ASCII alone as Git's own character
// tables have them (its "space" is blank, tab, line feed and carriage
// return). Null for a name it does not know.
using ClassTest = bool (*)(unsigned char c, bool foldCase);
ClassTest classTest(std::string_view name) {
    struct Named {
        std::string_view name;
        ClassTest test;
    };
    static constexpr Named kClasses[] = {
        {"alnum", [](unsigned char c, bool) { return isAlpha(c) || isDigit(c); }},
        {"alpha", [](unsigned char c, bool) { return isAlpha(c); }},
        {"blank", [](unsigned char c, bool) { return c == ' ' || c == '\t'; }},
        {"cntrl", [](unsigned char c, bool) { return c < 0x20 || c == 0x7f; }},
        {"digit", [](unsigned char c, bool) { return isDigit(c); }},
        {"graph", [](unsigned char c, bool) { return isGraph(c); }},
        {"lower", [](unsigned char c, bool) { return isLower(c); }},
        {"print", [](unsigned char c, bool) { return c >= 0x20 && c < 0x7f; }},
        {"punct", [](unsigned char c, bool) { return isGraph(c) && !isAlpha(c) && !isDigit(c); }},
        {"space",
         [](unsigned char c, bool) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }},
        {"upper", [](unsigned char c, bool fold) { return isUpper(c) || (fold && isLower(c)); }},
        {"xdigit",
         [](unsigned char c, bool) {
             return isDigit(c) || (lowerAscii(c) >= 'a' && lowerAscii(c) <= 'f');
         }},
    };
    for (const Named& named : kClasses)
        if (named.name == name) return named.test;
    return nullptr;
}

// The bytes whose form as compared (folded or not) passes `test`.
template <class Test>
void takeBytes(uint64_t (&bytes)[4], bool foldCase, Test test) {
    for (int b = 0; b < 256; ++b) {
        const unsigned char c = static_cast<unsigned char>(b);
        if (test(foldCase ? lowerAscii(c) : c)) bytes[b >> 6] |= uint64_t{1} << (b & 63);
    }
}

void dropSlash(uint64_t (&bytes)[4]) {
    bytes['/' >> 6] &= ~(uint64_t{1} << ('/' & 63));
}

}  // namespace

WildcardPattern::WildcardPattern(std::string_view pattern, bool pathname, bool foldCase) {
    const auto at = [&](size_t i) -> unsigned char { return i < pattern.size() ? pattern[i] : 0; };
    for (size_t i = 0; i < pattern.size() && !never_;) {
        const unsigned char c = pattern[i];
        Step step;
        if (c == '*') {
            size_t end = i;
            while (at(end) == '*')
                ++end;
            // Two stars or more cross slashes at a boundary; elsewhere, with
            // pathname, they are one star.
            const bool boundary =
                (i == 0 || pattern[i - 1] == '/') && (end == pattern.size() || at(end) == '/' ||
                                                      (at(end) == '\\' && at(end + 1) == '/'));
            const bool crossing = !pathname || (end - i >= 2 && boundary);
            step.kind = Kind::Loop;
            takeBytes(step.bytes, false, [](unsigned char) { return true; });
            if (!crossing) dropSlash(step.bytes);
            i = end;
            if (pathname && crossing && at(end) == '/') {
                // "**/" also matches nothing at all. Several in a row mean no
                // more than one: kept as one, so a rule of thousands of them
                // costs what one does.
                i = end + 1;
                const size_t n = steps_.size();
                if (n >= 3 && steps_[n - 3].kind == Kind::Fork) continue;
                Step fork;
                fork.kind = Kind::Fork;
                addStep(fork);
                addStep(step);
                Step slash;
                takeBytes(slash.bytes, false, [](unsigned char b) { return b == '/'; });
                addStep(slash);
                continue;
            }
        } else if (c == '[') {
            if (!addBracket(pattern, i, pathname, foldCase)) never_ = true;
            continue;
        } else if (c == '?') {
            takeBytes(step.bytes, false, [](unsigned char) { return true; });
            if (pathname) dropSlash(step.bytes);
            ++i;
        } else {
            // A plain byte folds with the text; one after '\' is compared as
            // written, and a '\' at the end matches nothing.
            const bool escaped = c == '\\';
            if (escaped && i + 1 == pattern.size()) {
                never_ = true;
                break;
            }
            const unsigned char wanted = escaped ? at(i + 1) : foldCase ? lowerAscii(c) : c;
            takeBytes(step.bytes, foldCase, [wanted](unsigned char b) { return b == wanted; });
            i += escaped ? 2 : 1;
        }
        addStep(step);
    }

    // The single-byte steps at either end are compared in place; only what
    // lies between the first and the last loop needs the side-by-side run.
    size_t firstLoop = steps_.size(), lastLoop = steps_.size(), forks = 0;
    for (size_t i = 0; i < steps_.size(); ++i) {
        if (steps_[i].kind == Kind::Byte) {
            ++minLength_;
            continue;
        }
        forks += steps_[i].kind == Kind::Fork ? 1 : 0;  // a fork may pass a slash
        if (firstLoop == steps_.size()) firstLoop = i;
        lastLoop = i;
    }
    minLength_ -= forks;
    hasLoop_ = firstLoop != steps_.size();
    lead_ = hasLoop_ ? firstLoop : steps_.size();
    if (!hasLoop_) return;
    const bool forked = lastLoop > 0 && steps_[lastLoop - 1].kind == Kind::Fork;
    trail_ = steps_.size() - (lastLoop + (forked ? 2 : 1));
    // A fork's slash may be passed over: it belongs to no row.
    for (size_t i = lead_, run = 0; i < steps_.size() - trail_; ++i) {
        const bool passable = i >= 2 && steps_[i - 2].kind == Kind::Fork;
        run = steps_[i].kind == Kind::Byte && !passable ? run + 1 : 0;
        if (run > anchorLength_) {
            anchorLength_ = run;
            anchor_ = i + 1 - run;
        }
    }
    for (size_t i = anchor_; i < anchor_ + anchorLength_; ++i) {
        const Step& step = steps_[i];
        const auto bits = [&](int w) { return std::popcount(step.bytes[w]); };
        if (bits(0) + bits(1) + bits(2) + bits(3) != 1) {
            anchorText_.clear();
            break;
        }
        int b = 0;
        while (!step.takes(static_cast<unsigned char>(b)))
            ++b;
        anchorText_ += static_cast<char>(b);
    }
}

bool WildcardPattern::addBracket(std::string_view pattern, size_t& i, bool pathname,
                                 bool foldCase) {
    // Git's bracket, read as its matcher reads it: the first byte after '['
    // (or after the negation) is a member even when it is ']'; "a-z" is a
    // range unless the '-' stands first or last; "[:name:]" a class.
    const auto at = [&](size_t k) -> unsigned char { return k < pattern.size() ? pattern[k] : 0; };
    std::array<bool, 256> member{};
    size_t k = i + 1;
    unsigned char c = at(k);
    if (c == '^') c = '!';
    const bool negated = c == '!';
    if (negated) c = at(++k);
    unsigned char previous = 0;
    do {
        if (c == 0) return false;
        if (c == '\\') {
            c = at(++k);
            if (c == 0) return false;
            member[c] = true;
        } else if (c == '-' && previous != 0 && at(k + 1) != 0 && at(k + 1) != ']') {
            unsigned char high = at(++k);
            if (high == '\\') {
                high = at(++k);
                if (high == 0) return false;
            }
            for (int b = previous; b <= high; ++b)
                member[b] = true;
            // Folded, a lower-case byte also counts by its upper case.
            if (foldCase) {
                for (int b = 'a'; b <= 'z'; ++b)
                    if (b - ('a' - 'A') >= previous && b - ('a' - 'A') <= high) member[b] = true;
            }
            c = 0;  // a '-' after a range is a byte again
        } else if (c == '[' && at(k + 1) == ':') {
            const size_t nameStart = k + 2;
            size_t close = nameStart;
            while (at(close) != 0 && at(close) != ']')
                ++close;
            if (at(close) == 0) return false;
            if (close < nameStart + 1 || at(close - 1) != ':') {
                member['['] = true;  // no ":]": the '[' is a member, the ':' next
            } else {
                const ClassTest test = classTest(pattern.substr(nameStart, close - 1 - nameStart));
                if (test == nullptr) return false;
                for (int b = 0; b < 256; ++b)
                    member[b] = member[b] || test(static_cast<unsigned char>(b), foldCase);
                k = close;
                c = 0;
            }
        } else {
            member[c] = true;
        }
        previous = c;
        c = at(++k);
    } while (c != ']');
    i = k + 1;

    Step step;
    takeBytes(step.bytes, foldCase, [&](unsigned char b) { return member[b] != negated; });
    if (pathname) dropSlash(step.bytes);
    addStep(step);
    return true;
}

bool WildcardPattern::matches(std::string_view text) const {
    if (never_ || text.size() < minLength_) return false;
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    if (!hasLoop_) {
        if (text.size() != steps_.size()) return false;
        for (size_t i = 0; i < steps_.size(); ++i)
            if (!steps_[i].takes(byte(i))) return false;
        return true;
    }
    for (size_t i = 0; i < lead_; ++i)
        if (!steps_[i].takes(byte(i))) return false;
    const size_t tail = text.size() - trail_;
    for (size_t i = 0; i < trail_; ++i)
        if (!steps_[steps_.size() - trail_ + i].takes(byte(tail + i))) return false;
    const std::string_view middle = text.substr(lead_, tail - lead_);
    return holdsAnchor(middle) && runSteps(middle, lead_, steps_.size() - trail_);
}

bool WildcardPattern::holdsAnchor(std::string_view text) const {
    if (!anchorText_.empty()) return text.find(anchorText_) != std::string_view::npos;
    const Step* anchor = steps_.data() + anchor_;
    for (size_t at = 0; at + anchorLength_ <= text.size(); ++at) {
        size_t i = 0;
        while (i < anchorLength_ && anchor[i].takes(static_cast<unsigned char>(text[at + i])))
            ++i;
        if (i == anchorLength_) return true;
    }
    return false;
}

// Every place in steps [first, last) the text so far can have reached, one
// byte at a time: forward edges only, so one pass in order closes each set.
bool WildcardPattern::runSteps(std::string_view text, size_t first, size_t last) const {
    const size_t states = last - first + 1;  // before each step, and the end
    std::array<uint8_t, 2 * kInlineStates> inlineSets;
    std::vector<uint8_t> heapSets;
    uint8_t* sets = inlineSets.data();
    if (states > kInlineStates) {
        heapSets.resize(2 * states);
        sets = heapSets.data();
    }
    uint8_t* now = sets;
    uint8_t* next = sets + states;
    std::fill(now, now + states, 0);
    const auto close = [&](uint8_t* set) {
        for (size_t s = 0; s + 1 < states; ++s) {
            if (!set[s] || steps_[first + s].kind == Kind::Byte) continue;
            set[s + 1] = 1;
            if (steps_[first + s].kind == Kind::Fork) set[s + 3] = 1;
        }
    };
    now[0] = 1;
    close(now);
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        std::fill(next, next + states, 0);
        bool any = false;
        for (size_t s = 0; s + 1 < states; ++s) {
            const Step& step = steps_[first + s];
            if (!now[s] || !step.takes(c)) continue;
            next[step.kind == Kind::Loop ? s : s + 1] = 1;
            any = true;
        }
        if (!any) return false;
        close(next);
        std::swap(now, next);
    }
    return now[states - 1] != 0;
}

}  // namespace tarvo
