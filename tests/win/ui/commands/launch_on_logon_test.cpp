// The launch-at-sign-in setting against Wine's Task Scheduler, with tasks created from XML
// fixtures (Wine runs /Change ... /ENABLE and /Delete but ignores /TR, so the tests check which
// tasks exist, the exit codes in the log and the user's preference, never the task actions).
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "base/reg_view_win.h"
#include "product/product.h"
#include "page_commands.h"
#include "ui/commands/launch_on_logon.h"

namespace {

using namespace ui_command_test;
using test_support::create_task;
using test_support::task_file_exists;

const char* const TASKS[] = {UI_CHECK_TASK, SERVICE_CHECK_TASK, LEGACY_SERVICE_CHECK_LOGON_TASK,
                             LEGACY_SERVICE_CHECK_HOURLY_TASK, LEGACY_SERVICE_START_LOGON_TASK};

bool task_exists(const char* name) { return task_file_exists(name + 1); }

class LaunchOnLogon : public PageCommands {
 protected:
  void SetUp() override {
    PageCommands::SetUp();
    strcpy(state.install_dir, "C:\\Program Files\\Corvane Labs\\Corvane");
    remove_tasks();
    reg_write_text(HKEY_CURRENT_USER, RUN_KEY, REG_VIEW_64, RUN_VALUE_NAME, "\"C:\\old\\Corvane.exe\"");
  }
  void TearDown() override {
    remove_tasks();
    PageCommands::TearDown();
  }
  static void remove_tasks() {
    for (const char* task : TASKS)
      if (task_exists(task))
        test_support::run_and_wait(std::string("schtasks.exe /Delete /TN \"") + task + "\" /F", 15000);
  }
  // The command returns at once; its schtasks runs go on on a thread of their own.
  std::string apply(const char* args) {
    std::string answer = invoke(page_command("set_launch_on_logon"), args);
    ui_launch_on_logon_join(60000);
    return answer;
  }
  static std::string launch_mode() {
    char mode[16] = "";
    reg_read_text(HKEY_CURRENT_USER, PRODUCT_REG_KEY, REG_VIEW_64, "LaunchMode", mode, sizeof mode);
    return mode;
  }
};

TEST_F(LaunchOnLogon, EnablingPointsBothTasksAndRetiresTheOldOnes) {
  for (const char* task : TASKS) create_task(task);
  EXPECT_EQ(apply(R"({"enabled":true})"), null_answer(1));
  EXPECT_EQ(launch_mode(), "window");
  char run[64];
  EXPECT_EQ(reg_read_text(HKEY_CURRENT_USER, RUN_KEY, REG_VIEW_64, RUN_VALUE_NAME, run, sizeof run),
            ERROR_FILE_NOT_FOUND)
      << "legacy autostart gone";
  EXPECT_TRUE(
      ui_log.has("[INFO] [InstallerUI] launch-on-logon: unified UI task updated (exit=0, enabled=1, mode=window)"));
  EXPECT_TRUE(
      ui_log.has("[INFO] [InstallerUI] service-check: unified task updated (exit=0, enabled=1, "
                 "launch_at_logon=1); legacy delete exits=0/0/0"));
  EXPECT_TRUE(task_exists(UI_CHECK_TASK));
  EXPECT_TRUE(task_exists(SERVICE_CHECK_TASK));
  for (const char* legacy :
       {LEGACY_SERVICE_CHECK_LOGON_TASK, LEGACY_SERVICE_CHECK_HOURLY_TASK, LEGACY_SERVICE_START_LOGON_TASK})
    EXPECT_FALSE(task_exists(legacy)) << legacy;
}

TEST_F(LaunchOnLogon, WithoutTheServiceTaskTheOldOnesStay) {
  create_task(UI_CHECK_TASK);
  create_task(LEGACY_SERVICE_CHECK_LOGON_TASK);
  apply(R"({"enabled":false})");
  EXPECT_EQ(launch_mode(), "off");
  EXPECT_TRUE(ui_log.has("launch-on-logon: unified UI task updated (exit=0, enabled=1, mode=off)"));
  EXPECT_TRUE(
      ui_log.has("[WARN] [InstallerUI] service-check: unified task update failed (exit=1, launch_at_logon=0); "
                 "legacy tasks retained"));
  EXPECT_TRUE(task_exists(LEGACY_SERVICE_CHECK_LOGON_TASK));
  remove_tasks();
  apply(R"({"enabled":false})");
  EXPECT_TRUE(ui_log.has("[WARN] [InstallerUI] launch-on-logon: unified UI task update failed (exit=1, mode=off)"));
}

TEST_F(LaunchOnLogon, RequestsWhileOneRunsAreRefusedAndTheWindowIsNotHeld) {
  create_task(UI_CHECK_TASK);
  create_task(SERVICE_CHECK_TASK);
  EXPECT_EQ(invoke(page_command("set_launch_on_logon"), R"({"enabled":true})"), null_answer(1));
  EXPECT_EQ(ui_log.text().find("unified UI task updated"), std::string::npos) << "answered before schtasks ran";
  for (int k = 0; k < 5; k++) invoke(page_command("set_launch_on_logon"), R"({"enabled":false})");
  ui_launch_on_logon_join(60000);
  EXPECT_EQ(launch_mode(), "window") << "none of the refused requests ran";
  EXPECT_TRUE(ui_log.has("[WARN] [InstallerUI] launch-on-logon: still applying the previous request — this one is "
                         "ignored"));
  apply(R"({"enabled":false})");
  EXPECT_EQ(launch_mode(), "off") << "once it has ended, the next request runs";
}

}  // namespace
