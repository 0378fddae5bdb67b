#include "ui/page_message.h"

#include <gtest/gtest.h>

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

TEST(PageMessage, OnlyWebAddressesAreOpened) {
  for (const char* url : {"https://corvane.com/privacy?utm_source=x", "http://a", "HTTPS://corvane.com", "Http:x"})
    EXPECT_TRUE(ui_url_is_web(url)) << url;
  for (const char* url : {"file:///C:/Windows/System32/calc.exe", "C:\\Windows\\System32\\cmd.exe", "javascript:1",
                          "ms-settings:", " https://a", "httpx://a", "https//a", "", "\\\\server\\share\\x.exe"})
    EXPECT_FALSE(ui_url_is_web(url)) << url;
  EXPECT_FALSE(ui_url_is_web(nullptr));
}
