#include "engine/term_automaton.h"

#include <algorithm>
#include <bit>

namespace tarvo {

namespace {

// A slot of next_ that the trie has not filled yet. States number at most
// kMaxTerms x kMaxTermLength + 2, well below it.
constexpr uint16_t kNoChild = 0xFFFF;
static_assert(kMaxTerms * kMaxTermLength + 2 < kNoChild);

int32_t lineFeedsBeforeLast(const QueryTerm& term) {
    return static_cast<int32_t>(std::count(term.text, term.text + term.length - 1, '\n'));
}

}  // namespace

// Four steps: the byte classes; the trie of the terms, in next_; the
// missing transitions and each state's tail, breadth first, so a state's
// tail is complete before the state; then the states renumbered so that
// those with endings come last, which makes `ends` one compare.
void TermAutomaton::build(const QueryTerm* terms, int32_t count, Matching matching) {
    const bool folded = matching == Matching::Folded;
    const auto key = [folded](char c) {
        const uint8_t byte = static_cast<uint8_t>(c);
        return folded ? foldAscii(byte) : byte;
    };

    // Bytes no term holds share class 0. An empty term occurs at a NUL too
    // (where Skip Binary Files is off), so with one the NUL has a class and
    // a state of its own, which ends the empty terms.
    TermSet emptyTerms, sameLineTerms;
    std::array<int32_t, kMaxTerms> linesBackOf = {};
    std::array<uint8_t, 256> classOfKey = {};
    int32_t classes = 1;
    int32_t nodeLimit = 1;
    linesBack_ = 0;
    for (int32_t t = 0; t < count; ++t) {
        const QueryTerm& term = terms[t];
        if (term.length == 0) {
            if (folded) {
                emptyTerms.add(t);
                sameLineTerms.add(t);
            }
            continue;
        }
        linesBackOf[t] = lineFeedsBeforeLast(term);
        linesBack_ = std::max(linesBack_, linesBackOf[t]);
        if (linesBackOf[t] == 0) sameLineTerms.add(t);
        nodeLimit += term.length;
        for (int32_t k = 0; k < term.length; ++k) {
            uint8_t& column = classOfKey[key(term.text[k])];
            if (column == 0) column = static_cast<uint8_t>(classes++);
        }
    }
    termsBack_.assign(linesBack_ + 1, {});
    termsBack_[0] = sameLineTerms;
    oneLineTerms_ = sameLineTerms.size();
    for (int32_t t = 0; t < count; ++t) {
        if (linesBackOf[t] != 0) termsBack_[linesBackOf[t]].add(t);
    }
    const bool nulState = !emptyTerms.empty();
    const int32_t nulClass = nulState ? classes++ : 0;
    for (int c = 0; c < 256; ++c)
        classOf_[c] = nulState && c == 0 ? static_cast<uint8_t>(nulClass)
                                         : classOfKey[key(static_cast<char>(c))];
    strideShift_ = std::bit_width(static_cast<uint32_t>(classes - 1));
    const int32_t stride = 1 << strideShift_;
    auto slot = [this](int32_t state, int32_t column) -> uint16_t& {
        return next_[static_cast<size_t>(state) << strideShift_ | column];
    };

    // The trie: a node per distinct beginning of a term.
    std::vector<uint16_t> trie(static_cast<size_t>(nodeLimit + nulState) << strideShift_, kNoChild);
    next_.swap(trie);
    std::vector<uint8_t> depth = {0}, lastClass = {0};
    std::vector<int8_t> termAt = {-1};    // the lowest term ending here
    std::vector<uint8_t> topCover = {0};  // 1 + the highest term ending here, 0 for none
    std::vector<TermSet> chain(1);        // the non-empty terms ending here
    for (int32_t t = 0; t < count; ++t) {
        int32_t node = kRoot;
        for (int32_t k = 0; k < terms[t].length; ++k) {
            const int32_t column = classOf_[static_cast<uint8_t>(terms[t].text[k])];
            uint16_t& child = slot(node, column);
            if (child == kNoChild) {
                child = static_cast<uint16_t>(depth.size());
                depth.push_back(static_cast<uint8_t>(k + 1));
                lastClass.push_back(static_cast<uint8_t>(column));
                termAt.push_back(-1);
                topCover.push_back(0);
                chain.emplace_back();
            }
            node = child;
        }
        if (node == kRoot) continue;  // an empty term
        chain[node].add(t);
        if (termAt[node] < 0) termAt[node] = static_cast<int8_t>(t);
        topCover[node] = static_cast<uint8_t>(t + 1);
    }
    const int32_t nodes = static_cast<int32_t>(depth.size());

    // Breadth first: a missing transition is the tail's; a node's tail is
    // where its parent's tail goes on the same byte. The tail's endings
    // are the node's too, and its covers those of the node's last bytes.
    std::vector<int32_t> order = {kRoot}, tail(nodes, kRoot), longest(nodes, 0), coverAt(nodes, 0);
    order.reserve(nodes);
    covers_.clear();
    for (size_t i = 0; i < order.size(); ++i) {
        const int32_t node = order[i];
        for (int32_t column = 0; column < stride; ++column) {
            uint16_t& to = slot(node, column);
            const uint16_t tailTo = node == kRoot ? kRoot : slot(tail[node], column);
            if (to == kNoChild) {
                to = tailTo;
            } else {
                tail[to] = tailTo;
                order.push_back(to);
            }
        }
        if (node == kRoot) continue;
        const int32_t t = tail[node];
        chain[node] |= chain[t];
        if (topCover[node] == 0) {
            longest[node] = longest[t];
            coverAt[node] = coverAt[t];
            continue;
        }
        // The node's own terms cover all its bytes; the tail's endings
        // cover its last ones.
        longest[node] = depth[node];
        coverAt[node] = static_cast<int32_t>(covers_.size());
        const int32_t shift = depth[node] - longest[t];
        for (int32_t k = 0; k < depth[node]; ++k) {
            uint8_t top = topCover[node];
            if (k >= shift) top = std::max(top, covers_[coverAt[t] + k - shift]);
            covers_.push_back(top);
        }
    }
    // The NUL's state: the root's transitions, and every state's NUL goes there.
    const int32_t states = nodes + nulState;
    if (nulState) {
        std::copy_n(next_.begin(), stride,
                    next_.begin() + (static_cast<size_t>(nodes) << strideShift_));
        for (int32_t state = 0; state < states; ++state)
            slot(state, nulClass) = static_cast<uint16_t>(nodes);
    }

    // What ends at each state, the empty terms at every byte that may
    // begin a term: a byte whose step from the root leaves it.
    std::vector<TermSet> endsAt(states);
    for (int32_t node = 1; node < nodes; ++node) {
        endsAt[node] = chain[node];
        if (depth[slot(kRoot, lastClass[node])] == 1) endsAt[node] |= emptyTerms;
    }
    if (nulState) endsAt[nodes] = emptyTerms;

    // Renumbered: the root, the states without endings, then those with.
    std::vector<uint16_t> renumbered(states);
    int32_t next = 0;
    for (const bool ending : {false, true}) {
        if (ending) firstEnding_ = std::max(next, 1);
        for (int32_t state = 0; state < states; ++state) {
            if (endsAt[state].empty() != ending) renumbered[state] = static_cast<uint16_t>(next++);
        }
    }
    trie.assign(static_cast<size_t>(states) << strideShift_, 0);
    depth_.assign(states, 0);
    termAt_.assign(states, -1);
    endings_.assign(states - firstEnding_, {});
    spans_.clear();
    std::array<TermSet, kMaxTermLength> byLinesBack;
    auto longestOf = [terms](const TermSet& set) {
        int32_t most = 0;
        set.forEach([&](int32_t t) { most = std::max(most, terms[t].length); });
        return most;
    };
    for (int32_t state = 0; state < states; ++state) {
        const int32_t to = renumbered[state];
        for (int32_t column = 0; column < stride; ++column)
            trie[static_cast<size_t>(to) << strideShift_ | column] =
                renumbered[slot(state, column)];
        if (state >= nodes) continue;  // the NUL's state: depth 0, no term
        depth_[to] = depth[state];
        termAt_[to] = termAt[state];
        if (to < firstEnding_) continue;
        Ending& ending = endings_[to - firstEnding_];
        ending.terms = endsAt[state];
        ending.sameLine = endsAt[state];
        ending.sameLine &= sameLineTerms;
        TermSet spanning = endsAt[state];
        spanning -= sameLineTerms;
        ending.spanning = spanning;
        ending.spansFrom = static_cast<int32_t>(spans_.size());
        spanning.forEach([&](int32_t t) { byLinesBack[linesBackOf[t]].add(t); });
        spanning.forEach([&](int32_t t) {
            TermSet& group = byLinesBack[linesBackOf[t]];
            if (group.empty()) return;
            spans_.push_back({linesBackOf[t], group, longestOf(group)});
            group = {};
        });
        std::sort(spans_.begin() + ending.spansFrom, spans_.end(),
                  [](const Span& a, const Span& b) { return a.linesBack > b.linesBack; });
        ending.spansTo = static_cast<int32_t>(spans_.size());
        ending.longest = longest[state];
        ending.sameLineLongest = longestOf(ending.sameLine);
        ending.coverAt = coverAt[state];
    }
    if (nulState) {
        Ending& ending = endings_[renumbered[nodes] - firstEnding_];
        ending = {emptyTerms,
                  emptyTerms,
                  {},
                  static_cast<int32_t>(spans_.size()),
                  static_cast<int32_t>(spans_.size()),
                  0,
                  0,
                  0};
    }
    next_.swap(trie);
}

int32_t TermAutomaton::firstTermAt(const char* at, const char* end) const {
    int32_t first = -1;
    int32_t state = kRoot;
    // Along the trie only: a state as deep as the bytes stepped stands for
    // all of them, so its terms begin at `at`.
    for (int32_t k = 0; at + k < end; ++k) {
        state = step(state, static_cast<uint8_t>(at[k]));
        if (depth_[state] != k + 1) break;
        if (termAt_[state] >= 0 && (first < 0 || termAt_[state] < first)) first = termAt_[state];
    }
    return first;
}

}  // namespace tarvo
