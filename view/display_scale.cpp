#include "view/display_scale.h"

namespace tarvo {

namespace {

// a x b / c rounded to the nearest integer, halves away from zero, as
// MulDiv does; c is positive.
int32_t mulDiv(int32_t a, int32_t b, int32_t c) {
    const int64_t product = int64_t{a} * b;
    const int64_t half = c / 2;
    return static_cast<int32_t>((product >= 0 ? product + half : product - half) / c);
}

}  // namespace

int32_t scaleToDpi(int32_t size, int32_t dpi) {
    return mulDiv(size, dpi, kBaseDpi);
}

int32_t scaleFromDpi(int32_t size, int32_t dpi) {
    return dpi > 0 ? mulDiv(size, kBaseDpi, dpi) : size;
}

}  // namespace tarvo
