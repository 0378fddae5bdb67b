#include <string>

#include <gtest/gtest.h>

#include "consent/relaunch_arguments.h"

TEST(RelaunchArguments, EveryChoiceIsExplicit) {
  char out[RELAUNCH_ARGUMENTS_SIZE];
  consent_choices defaults;
  EXPECT_EQ(relaunch_arguments(defaults, 0, out, sizeof out), 0);
  EXPECT_STREQ(out, "/SKIPWELCOME /DRYRUN=0 /UNINSTALLFIRST=0 /DECRYPTHTTPS=1 /USAGEDATA=1");

  consent_choices all{1, 1, 0, 0};
  relaunch_arguments(all, 1, out, sizeof out);
  EXPECT_STREQ(out, "/SKIPWELCOME /DRYRUN=1 /UNINSTALLFIRST=1 /DECRYPTHTTPS=0 /USAGEDATA=0");

  relaunch_arguments(all, 0, out, sizeof out);  // nothing installed: nothing to remove first
  EXPECT_STREQ(out, "/SKIPWELCOME /DRYRUN=1 /UNINSTALLFIRST=0 /DECRYPTHTTPS=0 /USAGEDATA=0");
}

TEST(RelaunchArguments, OwnArgumentsFollowTheProgramName) {
  const struct {
    const char* command_line;
    const char* own;
  } cases[] = {
      {"\"C:\\Users\\a b\\Downloads\\CorvaneSetup.exe\" /DRYRUN", "/DRYRUN"},
      {"\"C:\\Users\\a b\\Downloads\\CorvaneSetup.exe\"", ""},
      {"\"C:\\x\\CorvaneSetup.exe\"   \t/USAGEDATA=0 /DRYRUN", "/USAGEDATA=0 /DRYRUN"},
      {"C:\\x\\CorvaneSetup.exe /DRYRUN", "/DRYRUN"},
      {"CorvaneSetup.exe", ""},
      {"\"C:\\unterminated quote /DRYRUN", ""},  // the name runs to the end
      {"\"\" /S", "/S"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_STREQ(command_line_arguments(c.command_line), c.own) << c.command_line;
  EXPECT_STREQ(command_line_arguments(nullptr), "");
}

TEST(RelaunchArguments, ElevationParametersJoinWithOneBlankOnlyBetweenTwoParts) {
  const struct {
    const char* own;
    const char* relaunch;
    const char* parameters;
  } cases[] = {
      {"/DRYRUN", "/SKIPWELCOME /USAGEDATA=1", "/DRYRUN /SKIPWELCOME /USAGEDATA=1"},
      {"", "/SKIPWELCOME /USAGEDATA=1", "/SKIPWELCOME /USAGEDATA=1"},
      {"/DRYRUN", "", "/DRYRUN"},
      {nullptr, nullptr, ""},
  };
  char out[256];
  for (const auto& c : cases) {
    EXPECT_EQ(elevation_parameters(c.own, c.relaunch, out, sizeof out), 0);
    EXPECT_STREQ(out, c.parameters);
  }
  // The Part's example, from the command line through to the parameters.
  const char* own = command_line_arguments("\"C:\\Downloads\\CorvaneSetup.exe\" /DRYRUN");
  elevation_parameters(own, "/SKIPWELCOME /USAGEDATA=1", out, sizeof out);
  EXPECT_STREQ(out, "/DRYRUN /SKIPWELCOME /USAGEDATA=1");
}

TEST(RelaunchArguments, ACommandLineThatDoesNotFitIsRefusedNotCut) {
  char small[16];
  consent_choices all{1, 1, 0, 0};
  EXPECT_EQ(relaunch_arguments(all, 1, small, sizeof small), -1);
  EXPECT_STREQ(small, "");
  EXPECT_EQ(elevation_parameters("/DRYRUN", "/SKIPWELCOME /USAGEDATA=1", small, sizeof small), -1);
  EXPECT_STREQ(small, "");
  char exact[sizeof "/A /B"];
  EXPECT_EQ(elevation_parameters("/A", "/B", exact, sizeof exact), 0);
}
