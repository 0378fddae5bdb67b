// The plain-value side of launching the installed app: how failures are classed for
// telemetry, what arguments the app receives, how integrity levels read in the log.
#include <gtest/gtest.h>

#include <string>

#include "install/launch_result.h"

namespace {

TEST(LaunchFamily, FileErrorsAndShellResultsMapToTheirFamilies) {
  EXPECT_EQ(launch_family_of_file_error(5), LAUNCH_FAMILY_ACCESS_DENIED);
  EXPECT_EQ(launch_family_of_file_error(3), LAUNCH_FAMILY_EXECUTABLE_MISSING);
  EXPECT_EQ(launch_family_of_file_error(32), LAUNCH_FAMILY_PROCESS_CREATION_FAILED);  // sharing violation
  struct row {
    long code;
    int family;
  } rows[] = {{5, LAUNCH_FAMILY_ACCESS_DENIED},      {2, LAUNCH_FAMILY_EXECUTABLE_MISSING},
              {3, LAUNCH_FAMILY_EXECUTABLE_MISSING}, {31, LAUNCH_FAMILY_SHELL_UNAVAILABLE},
              {32, LAUNCH_FAMILY_SHELL_UNAVAILABLE}, {0, LAUNCH_FAMILY_PROCESS_CREATION_FAILED},
              {11, LAUNCH_FAMILY_PROCESS_CREATION_FAILED}, {26, LAUNCH_FAMILY_PROCESS_CREATION_FAILED}};
  for (const row& r : rows) EXPECT_EQ(launch_family_of_shell_code(r.code), r.family) << r.code;
  EXPECT_EQ(launch_family_word(LAUNCH_FAMILY_NONE), nullptr) << "no family word unless the launch failed";
  EXPECT_EQ(launch_family_word(7), nullptr);
}

TEST(LaunchArguments, EventIdOnlyWhenPresentAndHarmless) {
  char out[320];
  EXPECT_EQ(launch_arguments("0190a1b2-c3d4-8e5f-9a6b-7c8d9e0f1a2b", out, sizeof out), 1);
  EXPECT_STREQ(out, "--run_source=installer --install_event_id=0190a1b2-c3d4-8e5f-9a6b-7c8d9e0f1a2b");
  EXPECT_EQ(launch_arguments("", out, sizeof out), 1);
  EXPECT_STREQ(out, "--run_source=installer");
  launch_arguments(std::string(300, 'a').c_str(), out, sizeof out);
  EXPECT_EQ(std::string(out), "--run_source=installer --install_event_id=" + std::string(255, 'a'));
  // Anything that could split or quote the app's command line stays off it.
  for (const char* bad : {"a\" --evil", "a b", "a\tb"}) {
    EXPECT_EQ(launch_arguments(bad, out, sizeof out), 0) << bad;
    EXPECT_STREQ(out, "--run_source=installer") << bad;
  }
}

TEST(IntegrityWords, BoundariesOfEachLevel) {
  struct row {
    uint32_t rid;
    const char* word;
  } rows[] = {{0, "unknown"},  {1, "untrusted"},     {0xFFF, "untrusted"}, {0x1000, "low"},   {0x1FFF, "low"},
              {0x2000, "medium"}, {0x2FFF, "medium"}, {0x3000, "high"},     {0x4000, "system"}};
  for (const row& r : rows) EXPECT_STREQ(integrity_level_word(r.rid), r.word) << std::hex << r.rid;
}

}  // namespace
