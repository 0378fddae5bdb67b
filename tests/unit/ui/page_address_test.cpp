// Which addresses the host takes for its own page, and which navigations stay in its folder.
#include <gtest/gtest.h>

#include "ui/page_address.h"

namespace {

constexpr char PAGE[] = "file:///C:/Users/Ann Lee/Temp/ui/index.html";

TEST(PageAddress, OnlyTheNavigatedPageIsItsOwnSource) {
  struct row {
    const char* source;
    bool same;
  } rows[] = {
      {PAGE, true},
      {"file:///C:/Users/Ann%20Lee/Temp/ui/index.html", true},  // the browser escapes the blank
      {"FILE:///c:/users/ann lee/temp/UI/Index.HTML", true},     // Windows paths ignore case
      {"file:///C:/Users/Ann%20Lee/Temp/ui/index.html#/step2", true},
      {"file:///C:/Users/Ann%20Lee/Temp/ui/index.html?x=1", true},
      {"file:///C:\\Users\\Ann Lee\\Temp\\ui\\index.html", true},
      {"file:///C:/Users/Ann%20Lee/Temp/ui/%69ndex.html", true},
      {"file:///C:/Users/Ann Lee/Temp/ui/consent.html", false},  // same folder, another page
      {"file:///C:/Users/Ann Lee/Temp/index.html", false},
      {"file:///C:/Users/Ann Lee/Temp/ui/index.html.evil", false},
      {"file:///C:/Users/Ann Lee/Temp/ui/x/../index.html", false},  // never canonical: refused
      {"file:///C:/Users/Ann Lee/Temp/ui%2Findex.html", false},
      {"file:///C:/Users/Ann Lee/Temp/ui/index.html%00.js", false},
      {"file:///C:/Users/Ann Lee/Temp/ui/index%2.html", false},
      {"file://attacker/C:/Users/Ann Lee/Temp/ui/index.html", false},
      {"https://example.org/C:/Users/Ann Lee/Temp/ui/index.html", false},
      {"about:blank", false},
      {"", false},
      {nullptr, false},
  };
  for (const row& r : rows) EXPECT_EQ(page_address_same_page(r.source, PAGE), r.same) << (r.source ? r.source : "null");
}

TEST(PageAddress, EscapedCharactersTheHostWroteStillMatch) {
  // The host escapes '#', '?' and '%' of the folder; the browser escapes the rest.
  const char* page = "file:///C:/Users/a%231%3F%25/Zoë/ui/index.html";
  EXPECT_TRUE(page_address_same_page("file:///C:/Users/a%231%3F%25/Zo%C3%AB/ui/index.html", page));
  EXPECT_FALSE(page_address_same_page("file:///C:/Users/a#1?%/Zoë/ui/index.html", page));
}

TEST(PageAddress, NavigationStaysInsideThePagesFolder) {
  struct row {
    const char* target;
    bool inside;
  } rows[] = {
      {PAGE, true},
      {"file:///C:/Users/Ann%20Lee/Temp/ui/consent.html?a#b", true},
      {"file:///C:/Users/Ann Lee/Temp/ui/img/logo.svg", true},
      {"file:///C:/Users/Ann Lee/Temp/ui/", false},  // the folder's listing is no page
      {"file:///C:/Users/Ann Lee/Temp/ui/../secret.txt", false},
      {"file:///C:/Users/Ann Lee/Temp/ui/%2E%2E/secret.txt", false},
      {"file:///C:/Users/Ann Lee/Temp/uix/index.html", false},
      {"file:///C:/windows/win.ini", false},
      {"https://example.org/", false},
      {"javascript:alert(1)", false},
      {"data:text/html,<p>x", false},
      {nullptr, false},
  };
  for (const row& r : rows)
    EXPECT_EQ(page_address_in_pages_folder(r.target, PAGE), r.inside) << (r.target ? r.target : "null");
  EXPECT_FALSE(page_address_in_pages_folder(PAGE, nullptr));
}

}  // namespace
