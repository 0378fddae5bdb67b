#include "ui/ui_host_layout.h"

namespace {

constexpr int32_t DEFAULT_WIDTH = 720;
constexpr int32_t DEFAULT_HEIGHT = 510;

}  // namespace

int32_t ui_dpi_scale(int32_t value, int32_t dpi) {
  int64_t product = static_cast<int64_t>(value) * dpi;
  return static_cast<int32_t>(product >= 0 ? (product + 48) / 96 : (product - 48) / 96);
}

ui_window_rect ui_window_placement(int32_t width, int32_t height, int32_t dpi, int32_t screen_width,
                                   int32_t screen_height) {
  ui_window_rect rect;
  rect.width = ui_dpi_scale(width < 1 ? DEFAULT_WIDTH : width, dpi);
  rect.height = ui_dpi_scale(height < 1 ? DEFAULT_HEIGHT : height, dpi);
  rect.x = (screen_width - rect.width) / 2;
  rect.y = (screen_height - rect.height) / 2;
  return rect;
}
