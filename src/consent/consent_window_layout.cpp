#include "consent/consent_window_layout.h"

namespace {

constexpr int32_t MARGIN = 40;
constexpr int32_t GAP = 16;
constexpr int32_t TITLE_Y = 50, TITLE_HEIGHT = 30;
constexpr int32_t TAGLINE_Y = TITLE_Y + TITLE_HEIGHT + GAP, TAGLINE_HEIGHT = 40;
constexpr int32_t INSTALL_Y = TAGLINE_Y + TAGLINE_HEIGHT + GAP + 10 + GAP, INSTALL_WIDTH = 200, INSTALL_HEIGHT = 44;
constexpr int32_t CANCEL_Y = INSTALL_Y + INSTALL_HEIGHT + GAP, CANCEL_WIDTH = 80, CANCEL_HEIGHT = 28;
constexpr int32_t TERMS_FROM_BOTTOM = 40, TERMS_HEIGHT = 30;

ui_window_rect centred(int32_t client_width, int32_t y, int32_t width, int32_t height, int32_t dpi) {
  int32_t w = ui_dpi_scale(width, dpi);
  return {(client_width - w) / 2, ui_dpi_scale(y, dpi), w, ui_dpi_scale(height, dpi)};
}

}  // namespace

int32_t consent_window_dpi(int32_t reported) { return reported < 96 ? 96 : reported; }

consent_window_controls consent_window_layout(int32_t client_width, int32_t client_height, int32_t dpi) {
  int32_t m = ui_dpi_scale(MARGIN, dpi);
  consent_window_controls c;
  c.title = {m, ui_dpi_scale(TITLE_Y, dpi), client_width - 2 * m, ui_dpi_scale(TITLE_HEIGHT, dpi)};
  c.tagline = {m, ui_dpi_scale(TAGLINE_Y, dpi), client_width - 2 * m, ui_dpi_scale(TAGLINE_HEIGHT, dpi)};
  c.install = centred(client_width, INSTALL_Y, INSTALL_WIDTH, INSTALL_HEIGHT, dpi);
  c.cancel = centred(client_width, CANCEL_Y, CANCEL_WIDTH, CANCEL_HEIGHT, dpi);
  c.terms = {ui_dpi_scale(MARGIN / 2, dpi), client_height - ui_dpi_scale(TERMS_FROM_BOTTOM, dpi), client_width - m,
             ui_dpi_scale(TERMS_HEIGHT, dpi)};
  return c;
}

consent_font consent_window_font(consent_font_role role) {
  switch (role) {
    case CONSENT_FONT_TITLE: return {22, 700};
    case CONSENT_FONT_BUTTON: return {15, 600};
    case CONSENT_FONT_TERMS: return {11, 400};
    default: return {14, 400};
  }
}
