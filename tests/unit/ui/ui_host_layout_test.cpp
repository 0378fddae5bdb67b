// The host window's size and place, and the address of its page.
#include <gtest/gtest.h>

#include <string>

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

std::string url(const char* folder, const char* page, size_t size = 600) {
  char out[600];
  return ui_page_url(folder, page, out, size) == 0 ? std::string(out) : "<failed:" + std::string(out) + ">";
}

TEST(UiHostLayout, PageUrlUsesSlashesAndEscapesWhatWouldChangeItsMeaning) {
  EXPECT_EQ(url("C:\\Temp\\x\\ui", "consent.html"), "file:///C:/Temp/x/ui/consent.html");
  EXPECT_EQ(url("C:\\Temp\\x\\ui", nullptr), "file:///C:/Temp/x/ui/index.html");
  EXPECT_EQ(url("C:\\Temp\\x\\ui", ""), "file:///C:/Temp/x/ui/index.html");
  EXPECT_EQ(url("C:\\Users\\Ann Lee\\Temp\\ui", "uninstall.html"),
            "file:///C:/Users/Ann Lee/Temp/ui/uninstall.html");
  EXPECT_EQ(url("C:\\Users\\a#1?%\\Temp\\ui", "index.html"), "file:///C:/Users/a%231%3F%25/Temp/ui/index.html");
  EXPECT_EQ(url("C:\\Users\\Zoë\\ui", "index.html"), "file:///C:/Users/Zoë/ui/index.html");
  // Too long: refused whole, never cut into another address.
  EXPECT_EQ(url("C:\\Temp\\x\\ui", "index.html", 30), "<failed:>");
  EXPECT_EQ(url("C:\\Temp\\x\\ui", "index.html", 32), "file:///C:/Temp/x/ui/index.html");
  EXPECT_EQ(url("C:\\Temp\\x\\ui", "index.html", 31), "<failed:>");
}

}  // namespace
