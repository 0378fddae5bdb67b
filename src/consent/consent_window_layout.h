// Where the native consent window and its controls go at a DPI (pure). Sizes are logical
// pixels scaled by dpi / 96; the positions of the controls are in the client area.
#pragma once

#include <cstdint>

#include "ui/ui_host_layout.h"

constexpr int32_t CONSENT_WINDOW_WIDTH = 480;
constexpr int32_t CONSENT_WINDOW_HEIGHT = 340;

// The DPI the window is laid out at: the reported one, never below 96.
int32_t consent_window_dpi(int32_t reported);

struct consent_window_controls {
  ui_window_rect title, tagline, install, cancel, terms;
};
consent_window_controls consent_window_layout(int32_t client_width, int32_t client_height, int32_t dpi);

// The four fonts (all "Segoe UI"): title; tagline and Cancel; Install; terms.
enum consent_font_role { CONSENT_FONT_TITLE, CONSENT_FONT_TEXT, CONSENT_FONT_BUTTON, CONSENT_FONT_TERMS, CONSENT_FONT_COUNT };
struct consent_font {
  int32_t size;  // logical pixels; the font's height is its negative scaled value
  int32_t weight;
};
consent_font consent_window_font(consent_font_role role);
