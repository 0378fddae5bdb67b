#include "ui/commands/launch_on_logon.h"

#include <gtest/gtest.h>

#include <string>

#include "state/onboarding_root.h"

TEST(LaunchOnLogon, TaskCommandsAndUserKeys) {
  char command[TASK_COMMAND_SIZE];
  ASSERT_TRUE(ui_task_command("C:\\Program Files\\Corvane Labs\\Corvane", command, sizeof command));
  EXPECT_STREQ(command,
               R"(schtasks.exe /Change /TN "\CorvaneLabs\CorvaneUICheck" /TR "\"C:\Program Files\Corvane Labs\)"
               R"(Corvane\Corvane.exe\" --run_source=scheduled --trigger scheduled" /ENABLE)");
  ASSERT_TRUE(service_task_command("C:\\P", 1, command, sizeof command));
  EXPECT_STREQ(command,
               R"(schtasks.exe /Change /TN "\CorvaneLabs\CorvaneServiceCheck" /TR "\"C:\P\Corvane.Service.exe\")"
               R"( --trigger scheduled --launch-at-logon" /ENABLE)");
  ASSERT_TRUE(service_task_command("C:\\P", 0, command, sizeof command));
  EXPECT_NE(std::string(command).find("--trigger scheduled\" /ENABLE"), std::string::npos);
  EXPECT_FALSE(ui_task_command(std::string(300, 'x').c_str(), command, sizeof command)) << "a cut path is not run";

  onboarding_root root;
  launch_on_logon_keys keys;
  onboarding_root_plan("S-1-5-18", "S-1-5-21-7", &root);
  ASSERT_TRUE(launch_on_logon_keys_for(&root, &keys));
  EXPECT_STREQ(keys.run_key, "S-1-5-21-7\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  EXPECT_STREQ(keys.product_key, "S-1-5-21-7\\Software\\CorvaneLabs\\Corvane");
  onboarding_root_plan("S-1-5-21-9", nullptr, &root);
  ASSERT_TRUE(launch_on_logon_keys_for(&root, &keys));
  EXPECT_STREQ(keys.product_key, "Software\\CorvaneLabs\\Corvane");
}
