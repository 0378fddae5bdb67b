// The uninstall page's commands: its state object, and the way out of the feedback screen
// ("Keep CorVane": cancel, then exit_sibling) that ends the worker before anything is removed.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "json_check.h"
#include "page_commands.h"
#include "uninstall/uninstall_ui.h"

namespace {

using namespace ui_command_test;

class UninstallerCommands : public PageCommands {
 protected:
  std::string invoke(const char* cmd, const std::string& args = "{}") {
    return PageCommands::invoke(cmd, args, ui_on_message_uninstaller);
  }
};

TEST_F(UninstallerCommands, StateObjectIsValidJsonAndCloseAsksNothing) {
  state.dry_run = 1;
  strcpy(state.product_version, "2.0\"\\\x7f");
  ui_uninstall_flags.state = &state;
  std::string answer = invoke(page_command("get_install_state"));
  ui_uninstall_flags.state = nullptr;
  ASSERT_TRUE(json_valid(answer)) << answer;
  EXPECT_NE(answer.find("\"client_version\":\"2.0\\\"\\\\\\u007f\""), std::string::npos) << answer;
  EXPECT_EQ(answer.substr(answer.size() - 16), "\"dry_run\":true}}");
  EXPECT_EQ(invoke(page_command("get_install_state")),
            "{\"type\":\"response\",\"id\":2,\"result\":{}}") << "no state, no values";
  invoke(page_command("enable_close"));
  EXPECT_EQ(host_stand_in::host.close_enabled, 1);
  EXPECT_EQ(host_stand_in::host.confirm_text, "") << "no question on this page";
  EXPECT_EQ(invoke(page_command("launch_app")), null_answer(4));
  EXPECT_TRUE(ui_log.has("Unknown invoke cmd: launch_app"));
}

TEST_F(UninstallerCommands, KeepCorvaneEndsTheWorkerBeforeItBegins) {
  state.dry_run = 1;
  ASSERT_EQ(uninstall_ui_start(&state), 0);
  invoke(page_command("signal_user_action"), R"({"action":"done"})");
  EXPECT_EQ(ui_uninstall_flags.begun + ui_uninstall_flags.cancelled, 0) << "done changes nothing here";
  invoke(page_command("signal_user_action"), R"({"action":"cancel"})");
  EXPECT_EQ(invoke(page_command("exit_sibling")), null_answer(3));
  EXPECT_EQ(host_stand_in::host.close_requests, 1);
  ASSERT_EQ(WaitForSingleObject(ui_uninstall_flags.worker_thread.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code = 0;
  GetExitCodeThread(ui_uninstall_flags.worker_thread.get(), &code);
  EXPECT_EQ(code, 1u);
  EXPECT_EQ(recording_page::posted.size(), 3u) << "no progress: nothing began";
  uninstall_ui_end(&state);
}

}  // namespace
