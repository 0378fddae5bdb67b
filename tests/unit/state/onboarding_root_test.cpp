#include <gtest/gtest.h>

#include "state/onboarding_root.h"

TEST(OnboardingRoot, InteractiveUserKeepsHkcu) {
  onboarding_root root;
  onboarding_root_plan("S-1-5-21-1-2-3-1001", "S-1-5-21-9-9-9-500", &root);
  EXPECT_EQ(root.kind, ONBOARDING_ROOT_HKCU);
  EXPECT_STREQ(root.subkey, "Software\\CorvaneLabs\\Corvane\\Onboarding");
  EXPECT_STREQ(root.browsers_subkey, "Software\\CorvaneLabs\\Corvane\\Onboarding\\Browsers");
  EXPECT_STREQ(root.filters_subkey, "Software\\CorvaneLabs\\Corvane\\Onboarding\\Filters");
  EXPECT_STREQ(root.label, "HKCU");
  onboarding_root_plan(nullptr, nullptr, &root);  // an unreadable token falls back to HKCU
  EXPECT_EQ(root.kind, ONBOARDING_ROOT_HKCU);
}

TEST(OnboardingRoot, LocalSystemWritesForTheConsoleUserOrTheMachine) {
  onboarding_root root;
  onboarding_root_plan("S-1-5-18", "S-1-5-21-7-8-9-1001", &root);
  EXPECT_EQ(root.kind, ONBOARDING_ROOT_USERS);
  EXPECT_STREQ(root.subkey, "S-1-5-21-7-8-9-1001\\Software\\CorvaneLabs\\Corvane\\Onboarding");
  EXPECT_STREQ(root.browsers_subkey, "S-1-5-21-7-8-9-1001\\Software\\CorvaneLabs\\Corvane\\Onboarding\\Browsers");
  EXPECT_STREQ(root.label, "HKEY_USERS\\S-1-5-21-7-8-9-1001");
  EXPECT_STREQ(root.console_sid, "S-1-5-21-7-8-9-1001");
  for (const char* console : {(const char*)nullptr, "", "S-1-5-18"}) {
    onboarding_root_plan("S-1-5-18", console, &root);
    EXPECT_EQ(root.kind, ONBOARDING_ROOT_HKLM);
    EXPECT_STREQ(root.subkey, "Software\\CorvaneLabs\\Corvane\\Onboarding");
    EXPECT_STREQ(root.label, "HKLM");
  }
}
