// Sizes for the screen a window is on. Every fixed pixel size in the window
// program is a size at 96 DPI, the resolution Windows calls 100 %; a window
// on a screen scaled to 150 % (144 DPI) gets it scaled by 144 / 96, rounded
// as the system's MulDiv rounds, so what the program computes here and what
// Windows computes for its own parts (menus, dialogs) agree.
#pragma once

#include <cstdint>

namespace tarvo {

// The resolution the program's sizes are written for: 100 % scaling.
inline constexpr int32_t kBaseDpi = 96;

// `size` at 96 DPI as it is at `dpi`: size x dpi / 96, rounded to the
// nearest pixel, halves away from zero.
int32_t scaleToDpi(int32_t size, int32_t dpi);

// The other way: `size` pixels at `dpi` as a size at 96 DPI, rounded alike.
// What the user sizes by dragging is kept so, and restores sensibly on a
// screen of another scale.
int32_t scaleFromDpi(int32_t size, int32_t dpi);

}  // namespace tarvo
