// Where the host window goes and which address its page has: plain arithmetic and text.
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

// Room for a page address: a 260-character folder and a 64-character page, escaped.
constexpr size_t UI_PAGE_URL_MAX = 1100;

// "file:///<folder>/<page>" with every backslash turned into a slash; page null or empty is
// "index.html". '%', '#' and '?' in the folder or page are percent-encoded so a folder under
// such a user name still names the page (unencoded they would start an escape, a fragment or
// a query). 0, or -1 when it does not fit in out.
int ui_page_url(const char* folder, const char* page, char* out, size_t size);
