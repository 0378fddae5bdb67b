#include "ui/page_message.h"

#include <gtest/gtest.h>

#include <string>

TEST(PageMessage, OnlyInvokesAreCommands) {
  EXPECT_TRUE(ui_message_is_invoke(R"({"type":"invoke","id":3,"cmd":"get_install_state","args":{}})"));
  EXPECT_FALSE(ui_message_is_invoke(R"({"type":"response","id":3})"));
  EXPECT_FALSE(ui_message_is_invoke(R"({"id":3,"cmd":"x"})"));
  EXPECT_FALSE(ui_message_is_invoke(R"({"type":"invoke-and-more-than-thirty-one-characters"})"));
  ui_invoke invoke;
  ui_read_invoke(R"({"type":"invoke","cmd":"exit_sibling","args":{}})", &invoke);
  EXPECT_EQ(invoke.id, -1);
  EXPECT_STREQ(invoke.cmd, "exit_sibling");
}

TEST(PageMessage, OnlyWholeWebAddressesAreOpened) {
  const std::string longest = "https://corvane.com/" + std::string(UI_URL_MAX - 20, 'a');
  for (const std::string& url : {std::string("https://corvane.com/privacy?utm_source=x&utm_medium=installer#top"),
                                 std::string("http://a"), std::string("HTTPS://corvane.com"),
                                 std::string("https://[::1]:8443/a;b=c,d*e!f$g(h)~i%20j@k+l"), longest})
    EXPECT_TRUE(ui_url_may_open(url.c_str())) << url;
  for (const std::string& url : {
           std::string("file:///C:/Windows/System32/calc.exe"), std::string("C:\\Windows\\System32\\cmd.exe"),
           std::string("javascript:alert(1)"), std::string("ms-settings:"), std::string("\\\\server\\share\\x.exe"),
           std::string("Http:x"), std::string("https:/a"), std::string("https://"), std::string("https:///etc"),
           std::string("https://?q"), std::string(" https://a"), std::string("httpx://a"), std::string(""),
           std::string("https://a/\"b"), std::string("https://a/'b"), std::string("https://a/b c"),
           std::string("https://a\\b"), std::string("https://a/\tb"), std::string("https://a/\nb"),
           std::string("https://a/\x7f"), std::string("https://a/<b>"), std::string("https://a/{b}|c^d`e"),
           std::string("https://caf\xc3\xa9.com/"), longest + "a"})
    EXPECT_FALSE(ui_url_may_open(url.c_str())) << url;
  EXPECT_FALSE(ui_url_may_open(nullptr));
}
