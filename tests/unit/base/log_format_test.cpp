#include "base/log_format.h"

#include <gtest/gtest.h>

#include <string>

TEST(LogFormat, LevelNamesAndPageWords) {
  EXPECT_STREQ(log_level_name(0), "DEBUG");
  EXPECT_STREQ(log_level_name(1), "INFO");
  EXPECT_STREQ(log_level_name(2), "WARN");
  EXPECT_STREQ(log_level_name(3), "ERROR");
  EXPECT_STREQ(log_level_name(7), "INFO");
  EXPECT_STREQ(log_level_name(-1), "INFO");
  EXPECT_EQ(log_level_from_word("DEBUG"), 0);
  EXPECT_EQ(log_level_from_word("Warning"), 2);
  EXPECT_EQ(log_level_from_word("warn"), 2);
  EXPECT_EQ(log_level_from_word("eRRoR"), 3);
  EXPECT_EQ(log_level_from_word(""), 1);
  EXPECT_EQ(log_level_from_word("fatal"), 1);
  EXPECT_EQ(log_level_from_word(nullptr), 1);
}

TEST(LogFormat, LineLayout) {
  char line[LOG_LINE_MAX + 1];
  log_format_line(line, sizeof line, "2026-03-04T05:06:07.089Z", 2, "Installer", "hello");
  EXPECT_STREQ(line, "2026-03-04T05:06:07.089Z [WARN] [Installer] hello");
}

TEST(LogFormat, LongLinesAreCutAtTheLineLimit) {
  // A full-length message fits whole behind the prefix...
  std::string message(LOG_MESSAGE_MAX, 'm');
  char line[4096];
  log_format_line(line, sizeof line, "2026-03-04T05:06:07.089Z", 1, "UninstallerUI", message.c_str());
  EXPECT_EQ(std::string(line).size(), 24 + 8 + 16 + LOG_MESSAGE_MAX);
  // ...and nothing longer than the line limit is ever produced, whatever the caller passes.
  std::string oversized(3000, 'o');
  log_format_line(line, sizeof line, "2026-03-04T05:06:07.089Z", 1, "UninstallerUI", oversized.c_str());
  EXPECT_EQ(std::string(line).size(), LOG_LINE_MAX);
  std::string huge(3000, 'x');
  char error_line[4096];
  log_format_error_line(error_line, sizeof error_line, "T", "Uninstaller", "msg", huge.c_str());
  EXPECT_EQ(std::string(error_line).size(), LOG_ERROR_LINE_MAX);
  EXPECT_EQ(std::string(error_line).rfind("T [ERROR] [Uninstaller] msg [", 0), 0u);
}

TEST(LogFormat, FallbackPath) {
  char out[260];
  EXPECT_EQ(log_fallback_path("C:\\T\\", "D:\\ro\\Corvane.log", out, sizeof out), 0);
  EXPECT_STREQ(out, "C:\\T\\Corvane.log");
  // The primary already in the temp folder: no fallback (compared without case).
  EXPECT_EQ(log_fallback_path("C:\\T\\", "c:\\t\\corvane.LOG", out, sizeof out), -1);
  // A fallback that would not fit in a Windows path is refused rather than cut.
  std::string long_temp = "C:\\" + std::string(250, 't') + "\\";
  EXPECT_EQ(log_fallback_path(long_temp.c_str(), "D:\\Corvane.Installer-20260101.log", out, sizeof out), -1);

  // A name taken by a link: the same name with the process id, also for the temp folder itself.
  EXPECT_EQ(log_link_fallback_path("C:\\T\\", "C:\\T\\Corvane.Installer-20260304.log", 4242, out, sizeof out), 0);
  EXPECT_STREQ(out, "C:\\T\\Corvane.Installer-20260304-4242.log");
  EXPECT_EQ(log_link_fallback_path("C:\\T\\", "C:\\T\\plain", 7, out, sizeof out), 0);
  EXPECT_STREQ(out, "C:\\T\\plain-7.log");
  EXPECT_EQ(log_link_fallback_path(long_temp.c_str(), "D:\\Corvane.Installer-20260101.log", 1, out, sizeof out), -1);
}
