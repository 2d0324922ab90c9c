// The hash of the file memory's index and of the keyword table: a path or
// a token to 32 bits.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvo {

// Seed 5381, h = h x 65599 + byte (signed), modulo 2^32; up to the
// terminator, or `limit` bytes when limit >= 0 (at most 1,000,000 without).
uint32_t pathHash(const char* text, int32_t limit = -1);
// The same over exactly these bytes, for a caller that knows the length.
uint32_t pathHash(std::string_view text);

}  // namespace tarvo
