#include "base/ui_messages.h"

#include <gtest/gtest.h>

TEST(UiMessages, ProgressAndTerminalShapes) {
  char out[UI_TERMINAL_MESSAGE_SIZE];
  ASSERT_EQ(ui_format_progress("installing", 42, out, UI_PROGRESS_MESSAGE_SIZE), 0);
  EXPECT_STREQ(out, "{\"type\":\"event\",\"channel\":\"installer://progress\",\"payload\":{\"stage\":\"installing\",\"percent\":42}}");
  ASSERT_EQ(ui_format_terminal("done", "finish", "warning", out, sizeof out), 0);
  EXPECT_STREQ(out,
               "{\"type\":\"event\",\"channel\":\"installer://terminal\",\"payload\":{\"stage\":\"done\",\"terminal\":"
               "\"finish\",\"outcome\":\"warning\"}}");
}

TEST(UiMessages, NeverPostsAHalfMessage) {
  char out[40];
  EXPECT_EQ(ui_format_progress("installing", 42, out, sizeof out), -1);
  EXPECT_EQ(ui_format_terminal("done", "finish", "success", out, sizeof out), -1);
}
