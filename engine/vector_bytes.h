// What the scanner's vector code shares: 32-byte vectors written with the
// compiler's vector types, a few helpers over them, and the processor check.
//
// Each algorithm is written once, as an always-inlined body over these
// types, and compiled twice: into a plain function, where SSE2 (the x86-64
// baseline) takes each 32-byte operation as two of 16 bytes, and into a
// function built for AVX2, chosen at run time where the processor has it.
// The body takes the instruction set as a template argument only for the
// two helpers whose best form differs (a lane mask's bits, a test for any
// set lane). Vectors go to the helpers by reference: by value their
// passing would depend on the instruction set.
//
// The Windows build assembles every aligned vector move in the files that
// hold such code as an unaligned one: GCC for Windows x64 cannot align the
// stack to 32 bytes, so a 32-byte value it spills may lie misaligned (GCC
// bug 54412), which an aligned move would fault on. Unaligned moves cost
// nothing more on aligned data.
#pragma once

#include <immintrin.h>

#include <cstdint>
#include <cstring>

// The attribute of the functions that take the AVX2 copy of a body.
#define TARVO_AVX2 __attribute__((target("avx2,popcnt")))

namespace tarvo::vectors {

typedef uint8_t Bytes __attribute__((vector_size(32)));
typedef int8_t Lanes __attribute__((vector_size(32)));  // a compare's result: 0 or -1
typedef uint64_t Words __attribute__((vector_size(32)));
inline constexpr int32_t kVector = 32;

// AVX2 is there to use: the processor has it and the system saves its
// registers.
inline bool processorHasAvx2() {
    return __builtin_cpu_supports("avx2");
}

[[gnu::always_inline]] inline void load(Bytes& bytes, const char* at) {
    std::memcpy(&bytes, at, sizeof bytes);
}

// Every lane holds `value`. (Vectors come back through a reference: as
// return values their passing, too, would depend on the instruction set.)
[[gnu::always_inline]] inline void splat(Bytes& bytes, uint8_t value) {
    bytes = Bytes{} + value;
}

// The two helpers in the instructions AVX2 adds, for the body's AVX2 copy.
TARVO_AVX2 inline bool anySetAvx2(const Lanes& lanes) {
    __m256i all;
    std::memcpy(&all, &lanes, sizeof all);
    return !_mm256_testz_si256(all, all);
}

TARVO_AVX2 inline uint64_t bitsOfAvx2(const Lanes& low, const Lanes& high) {
    __m256i halves[2];
    std::memcpy(&halves[0], &low, sizeof low);
    std::memcpy(&halves[1], &high, sizeof high);
    return static_cast<uint32_t>(_mm256_movemask_epi8(halves[0])) |
           static_cast<uint64_t>(static_cast<uint32_t>(_mm256_movemask_epi8(halves[1]))) << 32;
}

enum class Width { Sse2, Avx2 };

template <Width kWidth>
[[gnu::always_inline]] inline bool anySet(const Lanes& lanes) {
    if constexpr (kWidth == Width::Avx2) {
        return anySetAvx2(lanes);
    } else {
        const Words words = reinterpret_cast<Words>(lanes);
        return (words[0] | words[1] | words[2] | words[3]) != 0;
    }
}

// One bit per lane of `low` then `high`, as a 64-byte block's mask (bit 0
// its first byte).
template <Width kWidth>
[[gnu::always_inline]] inline uint64_t bitsOf(const Lanes& low, const Lanes& high) {
    if constexpr (kWidth == Width::Avx2) {
        return bitsOfAvx2(low, high);
    } else {
        __m128i halves[4];
        std::memcpy(&halves[0], &low, sizeof low);
        std::memcpy(&halves[2], &high, sizeof high);
        uint64_t bits = 0;
        for (int i = 0; i < 4; ++i)
            bits |= static_cast<uint64_t>(static_cast<uint16_t>(_mm_movemask_epi8(halves[i])))
                    << (16 * i);
        return bits;
    }
}

// The sum of the byte lanes (each at most 255 - 1).
[[gnu::always_inline]] inline int64_t laneSum(const Bytes& counts) {
    const Words words = reinterpret_cast<Words>(counts);
    const Words pairs = (words & 0x00FF00FF00FF00FF) + ((words >> 8) & 0x00FF00FF00FF00FF);
    const Words sums = (pairs * 0x0001000100010001) >> 48;
    return static_cast<int64_t>(sums[0] + sums[1] + sums[2] + sums[3]);
}

}  // namespace tarvo::vectors
