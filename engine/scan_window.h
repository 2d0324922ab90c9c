// The scanner's sliding read window: 100,000 bytes; past position 75,000 its
// last 50,000 bytes move to the front and the next 50,000 are read behind
// them, so a term (at most 100 bytes) and the comment lookahead always lie
// inside. Apart from the scanner, so that the walk's read-ahead asks for a
// window's worth of a file without knowing the scanner.
#pragma once

namespace tarvo {

inline constexpr int kScanWindowSize = 100000;
inline constexpr int kScanWindowMoveAt = 75000;
inline constexpr int kScanWindowMove = 50000;

}  // namespace tarvo
