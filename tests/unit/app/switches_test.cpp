#include "app/switches.h"

#include "consent/relaunch_arguments.h"
#include "install/command_lines.h"
#include "state/tag_block.h"

#include <gtest/gtest.h>

#include <string>

TEST(IsSilent, TokenRulesForSlashS) {
  struct Case {
    const char* args;
    int expected;
  } cases[] = {
      {"/S", 1},
      {"/s", 1},
      {"/DRYRUN /S", 1},
      {"/S /DRYRUN", 1},
      {"/S\t/DRYRUN", 1},
      {"x\t/s", 1},
      {"x/S", 0},              // glued to a preceding character
      {"/Sx", 0},              // followed by a letter
      {"/SKIPWELCOME", 0},     // a longer switch starting with /S
      {"/SKIPWELCOME /DRYRUN", 0},
      {"\"/S\"", 0},           // quotes are not blanks
      {"", 0},
      {"/ S", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(is_silent(c.args), c.expected) << "args: " << c.args;
  EXPECT_EQ(is_silent(nullptr), 0);
}

TEST(IsSilent, DashDashSilentCountsAnywhere) {
  EXPECT_EQ(is_silent("--silent"), 1);
  EXPECT_EQ(is_silent("x--silenty"), 1);
  EXPECT_EQ(is_silent("--SILENT"), 0);  // exact letter case
}

TEST(UsageDataSwitch, AcceptsEitherCaseAndLastValidWins) {
  EXPECT_EQ(usage_data_switch("/USAGEDATA=1"), 1);
  EXPECT_EQ(usage_data_switch("/usagedata=0"), 0);
  EXPECT_EQ(usage_data_switch("/UsageData=1 /S"), 1);
  EXPECT_EQ(usage_data_switch("/USAGEDATA=1 /USAGEDATA=0"), 0);
  EXPECT_EQ(usage_data_switch("/USAGEDATA=0 /USAGEDATA=2"), 0);  // malformed later one changes nothing
  EXPECT_EQ(usage_data_switch("/USAGEDATA=0\r\n/USAGEDATA=1"), 1);
}

TEST(UsageDataSwitch, RejectsMalformedOccurrences) {
  EXPECT_EQ(usage_data_switch(nullptr), -1);
  EXPECT_EQ(usage_data_switch(""), -1);
  EXPECT_EQ(usage_data_switch("/USAGEDATA=1x"), -1);
  EXPECT_EQ(usage_data_switch("/USAGEDATA=11"), -1);
  EXPECT_EQ(usage_data_switch("/USAGEDATA=2"), -1);
  EXPECT_EQ(usage_data_switch("x/USAGEDATA=1"), -1);
  EXPECT_EQ(usage_data_switch("/USAGEDATA="), -1);
  EXPECT_EQ(usage_data_switch("/USAGEDATA"), -1);
}

TEST(UsageDataSwitch, QuotedForm) {
  EXPECT_EQ(usage_data_switch("\"/USAGEDATA=0\""), 0);
  EXPECT_EQ(usage_data_switch("/S \"/usagedata=1\" /DRYRUN"), 1);
  EXPECT_EQ(usage_data_switch("\"/USAGEDATA=0"), -1);   // closing quote missing
  EXPECT_EQ(usage_data_switch("\"/USAGEDATA=0\"x"), -1);  // glued after the quote
  EXPECT_EQ(usage_data_switch("/USAGEDATA=0\""), -1);    // a stray closing quote without an opening one
}

TEST(SubstringSwitches, ExactCaseAnywhere) {
  EXPECT_TRUE(has_skip_welcome("/SKIPWELCOME /USAGEDATA=1"));
  EXPECT_FALSE(has_skip_welcome(nullptr));
  EXPECT_TRUE(has_uninstall_before_install("/S /UNINSTALLBEFOREINSTALL /USAGEDATA=0"));
  EXPECT_EQ(dry_run_choice("/S /DRYRUN"), 1);
  EXPECT_EQ(dry_run_choice("/S /DRYRUN=0"), 0);
}

// What deployment tools pass keeps its meaning; an explicit 0|1 token is the newer form.
TEST(ChoiceSwitches, PresenceFormsAndExplicitValues) {
  struct Case {
    const char* args;
    int dry_run, decrypt_https, uninstall_first;
  } cases[] = {
      {"", 0, 1, -1},
      {"/S /DRYRUN /DECRYPTHTTPS=0 /UNINSTALLFIRST", 1, 0, 1},
      {"/DRYRUNNER x/DECRYPTHTTPS=0y z/UNINSTALLFIRSTLY", 1, 0, 1},  // substrings, as ever
      {"/dryrun /decrypthttps=0 /uninstallfirst", 0, 1, -1},          // exact letter case
      {"/DRYRUN=0 /DECRYPTHTTPS=1 /UNINSTALLFIRST=0", 0, 1, 0},
      {"/DRYRUN=1 /DECRYPTHTTPS=0 /UNINSTALLFIRST=1", 1, 0, 1},
      {"/UNINSTALLFIRST=1 \"/UNINSTALLFIRST=0\"", -1, -1, 0},      // the last explicit one wins
      {"/UNINSTALLFIRST=2 /DRYRUN=10", 1, 1, 1},                      // malformed: only the substring counts
  };
  for (const auto& c : cases) {
    if (c.dry_run != -1) EXPECT_EQ(dry_run_choice(c.args), c.dry_run) << c.args;
    if (c.decrypt_https != -1) EXPECT_EQ(decrypt_https_choice(c.args), c.decrypt_https) << c.args;
    EXPECT_EQ(uninstall_first_switch(c.args), c.uninstall_first) << c.args;
  }
}

// The elevated copy is started with the first process's own arguments, then the screen's
// switch string: whatever those arguments hold, the copy reads what the person chose.
TEST(ChoiceSwitches, TheScreensChoicesWinOverTheFirstProcesssArguments) {
  const char* own_arguments[] = {
      "", "/UNINSTALLFIRST", "/UNINSTALLFIRST=1 /DRYRUN /DECRYPTHTTPS=0 /USAGEDATA=1",
      "C:\\x/UNINSTALLFIRST\\y \"/DRYRUN=1\" /decrypthttps=1", "/USAGEDATA=1\t/DECRYPTHTTPS=1 /S x",
  };
  const consent_choices screens[] = {{0, 0, 1, 0}, {0, 0, 0, 1}, {1, 1, 1, 1}};
  for (const char* own : own_arguments) {
    for (const consent_choices& chosen : screens) {
      char relaunch[RELAUNCH_ARGUMENTS_SIZE], params[256];
      ASSERT_EQ(relaunch_arguments(chosen, 1, relaunch, sizeof relaunch), 0);
      ASSERT_EQ(elevation_parameters(own, relaunch, params, sizeof params), 0);
      EXPECT_EQ(dry_run_choice(params), chosen.dry_run) << params;
      EXPECT_EQ(uninstall_first_switch(params), chosen.uninstall_existing) << params;
      EXPECT_EQ(decrypt_https_choice(params), chosen.decrypt_https) << params;
      EXPECT_EQ(usage_data_switch(params), chosen.usage_data) << params;
      EXPECT_TRUE(has_skip_welcome(params)) << params;
    }
  }
}
