#include "product/ui_messages.h"

#include <gtest/gtest.h>

#include <string>

TEST(UiMessages, NeverPostsAHalfMessage) {
  char out[40];
  EXPECT_EQ(ui_format_progress("installing", 42, out, sizeof out), -1);
  EXPECT_EQ(ui_format_terminal("done", "finish", "success", out, sizeof out), -1);
}

TEST(UiMessages, ResponsesCarryTheIdAndAResultOrNull) {
  char out[UI_RESPONSE_MESSAGE_SIZE];
  ASSERT_EQ(ui_format_response(7, nullptr, out, sizeof out), 0);
  EXPECT_STREQ(out, "{\"type\":\"response\",\"id\":7,\"result\":null}");
  ASSERT_EQ(ui_format_response(-1, "{\"a\":1}", out, sizeof out), 0);
  EXPECT_STREQ(out, "{\"type\":\"response\",\"id\":-1,\"result\":{\"a\":1}}");
  EXPECT_EQ(ui_format_response(1, std::string(600, '1').c_str(), out, sizeof out), -1);
  EXPECT_STREQ(out, "") << "nothing half-formed is left to send";
}
