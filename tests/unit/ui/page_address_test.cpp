// Which addresses the host takes for its own pages, what it serves for them, and as what.
#include <gtest/gtest.h>

#include <string>

#include "ui/page_address.h"

namespace {

constexpr char PAGE[] = "https://corvane-setup.invalid/index.html";

std::string entry(const char* address, size_t size = 64) {
  char name[64] = "junk";
  return page_address_entry(address, name, size) ? std::string(name) : "<refused:" + std::string(name) + ">";
}

TEST(PageAddress, AnAddressNamesABundleEntryOnlyOnTheOwnOrigin) {
  struct row {
    const char* address;
    const char* name;  // null: refused
  } rows[] = {
      {PAGE, "index.html"},
      {"HTTPS://Corvane-Setup.INVALID/index.html", "index.html"},  // scheme and host ignore case
      {"https://corvane-setup.invalid/assets/uac-shield@2x.png?v=2#top", "assets/uac-shield@2x.png"},
      {"https://corvane-setup.invalid/Index.HTML", "Index.HTML"},  // names keep theirs: the bundle decides
      {"https://corvane-setup.invalid/", nullptr},
      {"https://corvane-setup.invalid", nullptr},
      {"https://corvane-setup.invalid/?x=1", nullptr},
      {"https://corvane-setup.invalid:8443/index.html", nullptr},
      {"https://user@corvane-setup.invalid/index.html", nullptr},
      {"https://corvane-setup.invalid.example.org/index.html", nullptr},
      {"http://corvane-setup.invalid/index.html", nullptr},
      {"https://corvane-setup.invalid/a/../index.html", nullptr},
      {"https://corvane-setup.invalid/./index.html", nullptr},
      {"https://corvane-setup.invalid//index.html", nullptr},
      {"https://corvane-setup.invalid/assets/", nullptr},
      {"https://corvane-setup.invalid/%2e%2e/secret", nullptr},
      {"https://corvane-setup.invalid/index%2Ehtml", nullptr},
      {"https://corvane-setup.invalid/assets\\x.svg", nullptr},
      {"https://corvane-setup.invalid/C:/windows/win.ini", nullptr},
      {"file:///C:/Users/Ann/Temp/ui/index.html", nullptr},
      {"about:blank", nullptr},
      {"", nullptr},
      {nullptr, nullptr},
  };
  for (const row& r : rows)
    EXPECT_EQ(entry(r.address), r.name ? std::string(r.name) : "<refused:>") << (r.address ? r.address : "null");
  // A name that does not fit is refused whole, never cut into another name.
  EXPECT_EQ(entry(PAGE, 11), "index.html");
  EXPECT_EQ(entry(PAGE, 10), "<refused:>");
}

TEST(PageAddress, OnlyTheNavigatedPageIsItsOwnSourceAndNavigationsStayOnTheOrigin) {
  struct row {
    const char* address;
    bool same, own;
  } rows[] = {
      {PAGE, true, true},
      {"https://corvane-setup.invalid/index.html#/step2", true, true},
      {"https://corvane-setup.invalid/index.html?x=1", true, true},
      {"https://corvane-setup.invalid/consent.html", false, true},
      {"https://corvane-setup.invalid/index.html.evil", false, true},
      {"https://corvane-setup.invalid/x/../index.html", false, false},
      {"https://example.org/index.html", false, false},
      {"file:///C:/windows/win.ini", false, false},
      {"javascript:alert(1)", false, false},
      {"data:text/html,<p>x", false, false},
      {nullptr, false, false},
  };
  for (const row& r : rows) {
    const char* shown = r.address ? r.address : "null";
    EXPECT_EQ(page_address_same_page(r.address, PAGE), r.same) << shown;
    EXPECT_EQ(page_address_is_own(r.address), r.own) << shown;
  }
  EXPECT_FALSE(page_address_same_page(PAGE, nullptr));
}

TEST(PageAddress, APageAddressIsTheOriginAndAPlainName) {
  char out[PAGE_ADDRESS_MAX] = "junk";
  ASSERT_EQ(page_address_of("consent.html", out, sizeof out), 0);
  EXPECT_STREQ(out, "https://corvane-setup.invalid/consent.html");
  ASSERT_EQ(page_address_of(nullptr, out, sizeof out), 0);
  EXPECT_STREQ(out, PAGE);
  EXPECT_EQ(page_address_of("../x.html", out, sizeof out), -1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(page_address_of("index.html#done", out, sizeof out), -1);
  EXPECT_EQ(page_address_of("index.html", out, sizeof PAGE - 1), -1);  // one short of the terminator
  EXPECT_EQ(page_address_of("index.html", out, sizeof PAGE), 0);
}

TEST(PageAddress, ContentTypeGoesByTheLastExtension) {
  EXPECT_STREQ(page_content_type("consent.html"), "text/html; charset=utf-8");
  EXPECT_STREQ(page_content_type("fonts/Inter.woff2"), "font/woff2");
  EXPECT_STREQ(page_content_type("assets/x.svg.js"), "text/javascript; charset=utf-8");
  EXPECT_STREQ(page_content_type("fonts.d/OFL"), "application/octet-stream");
  EXPECT_STREQ(page_content_type("README"), "application/octet-stream");
}

}  // namespace
