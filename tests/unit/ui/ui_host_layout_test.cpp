// The host window's size and place.
#include <gtest/gtest.h>


#include "ui/ui_host_layout.h"

namespace {

TEST(UiHostLayout, SizeScalesWithDpiAndTheWindowIsCentred) {
  struct row {
    int32_t width, height, dpi;
    ui_window_rect expected;
  } rows[] = {
      {720, 510, 96, {280, 257, 720, 510}},
      {0, -5, 96, {280, 257, 720, 510}},  // below 1: the default size
      {0, 0, 144, {100, 129, 1080, 765}},
      {720, 510, 120, {190, 193, 900, 638}},  // 637.5 rounds up as MulDiv does
      {2000, 1500, 96, {-360, -238, 2000, 1500}},  // larger than the screen: still centred
  };
  for (const row& r : rows) {
    ui_window_rect got = ui_window_placement(r.width, r.height, r.dpi, 1280, 1024);
    EXPECT_EQ(got.width, r.expected.width) << r.width << "x" << r.height << "@" << r.dpi;
    EXPECT_EQ(got.height, r.expected.height) << r.width << "x" << r.height << "@" << r.dpi;
    EXPECT_EQ(got.x, r.expected.x) << r.width << "@" << r.dpi;
    EXPECT_EQ(got.y, r.expected.y) << r.height << "@" << r.dpi;
  }
}

}  // namespace
