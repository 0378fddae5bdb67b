#include "ui/ui_host_layout.h"

namespace {

constexpr int32_t DEFAULT_WIDTH = 720;
constexpr int32_t DEFAULT_HEIGHT = 510;

int append_url_text(const char* text, char* out, size_t size, size_t* at) {
  static const char hex[] = "0123456789ABCDEF";
  for (const char* p = text; *p; p++) {
    char c = *p == '\\' ? '/' : *p;
    char encoded[4] = {c, '\0'};
    if (c == '%' || c == '#' || c == '?') {
      unsigned char byte = static_cast<unsigned char>(c);
      encoded[0] = '%';
      encoded[1] = hex[byte >> 4];
      encoded[2] = hex[byte & 15];
      encoded[3] = '\0';
    }
    for (const char* e = encoded; *e; e++) {
      if (*at + 1 >= size) return -1;
      out[(*at)++] = *e;
    }
  }
  out[*at] = '\0';
  return 0;
}

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

int ui_page_url(const char* folder, const char* page, char* out, size_t size) {
  if (size == 0) return -1;
  size_t at = 0;
  if (append_url_text("file:///", out, size, &at) != 0 || append_url_text(folder ? folder : "", out, size, &at) != 0 ||
      append_url_text("/", out, size, &at) != 0 ||
      append_url_text(page && *page ? page : "index.html", out, size, &at) != 0) {
    out[0] = '\0';
    return -1;
  }
  return 0;
}
