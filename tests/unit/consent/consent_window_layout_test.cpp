#include <gtest/gtest.h>

#include "consent/consent_window_layout.h"

namespace {

void expect_rect(const ui_window_rect& r, int32_t x, int32_t y, int32_t w, int32_t h) {
  EXPECT_EQ(r.x, x);
  EXPECT_EQ(r.y, y);
  EXPECT_EQ(r.width, w);
  EXPECT_EQ(r.height, h);
}

}  // namespace

TEST(ConsentWindowLayout, WindowSizeFollowsTheDpiButNeverShrinks) {
  const struct {
    int32_t reported, width, height;
  } cases[] = {{96, 480, 340}, {120, 600, 425}, {72, 480, 340}, {144, 720, 510}, {0, 480, 340}};
  for (const auto& c : cases) {
    ui_window_rect r = ui_window_placement(CONSENT_WINDOW_WIDTH, CONSENT_WINDOW_HEIGHT,
                                           consent_window_dpi(c.reported), 1280, 1024);
    EXPECT_EQ(r.width, c.width) << c.reported;
    EXPECT_EQ(r.height, c.height) << c.reported;
    EXPECT_EQ(r.x, (1280 - c.width) / 2);
  }
}

TEST(ConsentWindowLayout, ControlsInTheClientArea) {
  consent_window_controls c = consent_window_layout(474, 311, 96);
  expect_rect(c.title, 40, 50, 394, 30);
  expect_rect(c.tagline, 40, 96, 394, 40);
  expect_rect(c.install, 137, 178, 200, 44);
  expect_rect(c.cancel, 197, 238, 80, 28);
  expect_rect(c.terms, 20, 271, 434, 30);

  c = consent_window_layout(594, 389, 120);  // every logical size scaled by 1.25
  expect_rect(c.title, 50, 63, 494, 38);
  expect_rect(c.install, 172, 223, 250, 55);
  expect_rect(c.terms, 25, 339, 544, 38);
}
