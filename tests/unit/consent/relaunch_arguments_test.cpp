#include <string>

#include <gtest/gtest.h>

#include "consent/relaunch_arguments.h"

TEST(RelaunchArguments, DefaultsAndEveryOption) {
  char out[256];
  consent_choices defaults;
  relaunch_arguments(defaults, 0, out, sizeof out);
  EXPECT_STREQ(out, "/SKIPWELCOME /USAGEDATA=1");

  consent_choices all{1, 1, 0, 0};
  relaunch_arguments(all, 1, out, sizeof out);
  EXPECT_STREQ(out, "/SKIPWELCOME /DRYRUN /UNINSTALLFIRST /DECRYPTHTTPS=0 /USAGEDATA=0");

  relaunch_arguments(all, 0, out, sizeof out);  // nothing installed: no uninstall-first
  EXPECT_STREQ(out, "/SKIPWELCOME /DRYRUN /DECRYPTHTTPS=0 /USAGEDATA=0");
}

TEST(RelaunchArguments, NativeWindowNeverCarriesHttpsChoice) {
  char out[256];
  native_relaunch_arguments(" /DRYRUN", 1, -1, 1, out, sizeof out);
  EXPECT_STREQ(out, "/SKIPWELCOME /DRYRUN /UNINSTALLFIRST /USAGEDATA=1");
  native_relaunch_arguments("", 1, 0, 0, out, sizeof out);  // the tag says no
  EXPECT_STREQ(out, "/SKIPWELCOME /USAGEDATA=0");
  native_relaunch_arguments("", 0, 1, 1, out, sizeof out);
  EXPECT_STREQ(out, "/SKIPWELCOME /USAGEDATA=1");
}

TEST(RelaunchArguments, ElevationParameters) {
  char out[512];
  elevation_parameters("/DRYRUN", "/SKIPWELCOME /USAGEDATA=1", out, sizeof out);
  EXPECT_STREQ(out, "/DRYRUN /SKIPWELCOME /USAGEDATA=1");
  elevation_parameters("", "/SKIPWELCOME /USAGEDATA=1", out, sizeof out);
  EXPECT_STREQ(out, " /SKIPWELCOME /USAGEDATA=1");
}

TEST(RelaunchArguments, TruncatesIntoSmallBuffers) {
  char out[16];
  consent_choices all{1, 1, 0, 0};
  relaunch_arguments(all, 1, out, sizeof out);
  EXPECT_EQ(std::string(out), std::string("/SKIPWELCOME /D"));
}
