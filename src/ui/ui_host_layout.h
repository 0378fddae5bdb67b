// Where the host window goes: plain arithmetic.
#pragma once

#include <cstddef>
#include <cstdint>

struct ui_window_rect {
  int32_t x, y, width, height;
};

// value * dpi / 96, rounded half away from zero as the system's MulDiv does: logical pixels
// to physical ones.
int32_t ui_dpi_scale(int32_t value, int32_t dpi);

// The window for a size in logical pixels (below 1: 720 wide, 510 high) at a DPI, centred on a
// screen of the given size in physical pixels.
ui_window_rect ui_window_placement(int32_t width, int32_t height, int32_t dpi, int32_t screen_width,
                                   int32_t screen_height);
