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
  EXPECT_TRUE(has_dry_run("/DRYRUN"));
  EXPECT_TRUE(has_dry_run("/DRYRUNNER"));
  EXPECT_FALSE(has_dry_run("/dryrun"));
  EXPECT_TRUE(has_skip_welcome("/SKIPWELCOME /USAGEDATA=1"));
  EXPECT_FALSE(has_skip_welcome(nullptr));
  EXPECT_TRUE(has_uninstall_before_install("/S /UNINSTALLBEFOREINSTALL /USAGEDATA=0"));
  EXPECT_TRUE(has_decrypt_https_off("/DECRYPTHTTPS=0"));
  EXPECT_FALSE(has_decrypt_https_off("/DECRYPTHTTPS=1"));
  EXPECT_STREQ(dry_run_suffix("/S /DRYRUN"), " /DRYRUN");
  EXPECT_STREQ(dry_run_suffix("/S"), "");
}
