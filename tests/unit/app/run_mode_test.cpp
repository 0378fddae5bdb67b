#include "app/run_mode.h"

#include <gtest/gtest.h>

TEST(RunMode, OsGate) {
  EXPECT_EQ(os_gate("x86", "22631"), OS_UNSUPPORTED_32BIT);
  EXPECT_EQ(os_gate("X64", "22631"), OS_UNSUPPORTED_32BIT);  // exact case only
  EXPECT_EQ(os_gate("", "22631"), OS_UNSUPPORTED_32BIT);
  EXPECT_EQ(os_gate("x64", "17762"), OS_UNSUPPORTED_VERSION);
  EXPECT_EQ(os_gate("x64", "17763"), OS_SUPPORTED);
  EXPECT_EQ(os_gate("ARM64", "26100"), OS_SUPPORTED);
  EXPECT_EQ(os_gate("x64", ""), OS_UNSUPPORTED_VERSION);  // empty build counts as 0
  EXPECT_STREQ(os_gate_dialog_text(OS_UNSUPPORTED_32BIT), "32-bit version of Windows is not supported");
  EXPECT_STREQ(os_gate_dialog_text(OS_UNSUPPORTED_VERSION), "This version of Windows is not supported");
  EXPECT_STREQ(os_gate_run_message(OS_UNSUPPORTED_VERSION), "Installer launched — Unsupported OS (version)");
  EXPECT_STREQ(os_gate_close_message(OS_UNSUPPORTED_32BIT), "Unsupported OS (32-bit)");
}

TEST(RunMode, AnalyticsChoice) {
  EXPECT_EQ(analytics_choice(-1, -1), 1);  // neither: on
  EXPECT_EQ(analytics_choice(0, -1), 0);
  EXPECT_EQ(analytics_choice(1, 0), 0);    // the switch wins over the registry
  EXPECT_EQ(analytics_choice(0, 1), 1);
}

TEST(RunMode, UninstallFirstChoice) {
  EXPECT_EQ(uninstall_first_choice(0, 1, 1), 0);
  EXPECT_EQ(uninstall_first_choice(1, 1, 0), 1);  // the switch wins over the tag
  EXPECT_EQ(uninstall_first_choice(1, 0, 1), 0);  // so does an explicit no
  EXPECT_EQ(uninstall_first_choice(1, -1, 0), 0);
  EXPECT_EQ(uninstall_first_choice(1, -1, -1), 1);
}

TEST(RunMode, HostPrefixPurgeOnlyAfterUnfinishedElevatedRuns) {
  EXPECT_EQ(purge_host_prefix_needed(1, 0, 1, 0, 1), 1);  // failed silent install
  EXPECT_EQ(purge_host_prefix_needed(1, 0, 0, 1, 1), 0);  // completed install
  EXPECT_EQ(purge_host_prefix_needed(0, 0, 0, 0, 1), 0);  // first run that handed over
  EXPECT_EQ(purge_host_prefix_needed(0, 0, 1, 0, 0), 0);  // not elevated
  EXPECT_EQ(purge_host_prefix_needed(0, 1, 0, 0, 1), 1);  // UI relaunch that installed nothing
}
