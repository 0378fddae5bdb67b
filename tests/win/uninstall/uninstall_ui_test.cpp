// The uninstaller's UI worker against a recording page: begin/cancel handling and, in a dry
// run (which never touches the machine), the order of what the page is shown.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "recording_page.h"
#include "uninstall/uninstall_ui.h"

namespace {

using recording_page::posted;
using recording_page::progress;

class UninstallUiWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    recording_page::attach();
    memset(&state_, 0, sizeof state_);
    state_.msi_file_size_kb = -1;
  }
  void TearDown() override { recording_page::detach(); }

  DWORD finish_worker() {
    EXPECT_EQ(WaitForSingleObject(ui_uninstall_flags.worker_thread.get(), 60000), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 99;
    GetExitCodeThread(ui_uninstall_flags.worker_thread.get(), &code);
    return code;
  }

  install_state state_;
};

TEST_F(UninstallUiWorker, CancelBeforeBeginSendsNothingToThePage) {
  ASSERT_EQ(uninstall_ui_start(&state_), 0);
  Sleep(300);
  InterlockedExchange(&ui_uninstall_flags.cancelled, 1);
  EXPECT_EQ(finish_worker(), 1u);
  EXPECT_TRUE(posted.empty());
  uninstall_ui_end(&state_);
  EXPECT_EQ(ui_uninstall_flags.worker_thread.get(), nullptr);
  EXPECT_EQ(ui_uninstall_flags.state, nullptr);
}

TEST_F(UninstallUiWorker, CancelWinsOverBeginArrivingTogether) {
  state_.dry_run = 1;
  ui_uninstall_flags.worker_thread.reset();
  ui_uninstall_flags.begun = 1;
  ui_uninstall_flags.cancelled = 1;
  EXPECT_EQ(uninstall_ui_worker(&state_), 1u);
  EXPECT_TRUE(posted.empty());
}

TEST_F(UninstallUiWorker, DryRunWalksBothPhasesAndEndsInSuccess) {
  recording_page::attach_noting_redirection();
  state_.dry_run = 1;
  ASSERT_EQ(uninstall_ui_start(&state_), 0);
  InterlockedExchange(&ui_uninstall_flags.begun, 1);
  EXPECT_EQ(finish_worker(), 0u);
  ASSERT_GE(posted.size(), 4u);
  EXPECT_EQ(posted.front(), progress("closing", 0));
  EXPECT_EQ(posted.back(),
            "{\"type\":\"event\",\"channel\":\"installer://terminal\",\"payload\":{\"stage\":\"done\",\"terminal\":"
            "\"finish\",\"outcome\":\"success\"}}");
  EXPECT_EQ(posted[posted.size() - 2], progress("done", 100));
  size_t closing = 0, uninstalling = 0;
  for (const auto& m : posted) {
    closing += m.find("\"closing\"") != std::string::npos;
    uninstalling += m.find("\"uninstalling\"") != std::string::npos;
  }
  // 0 first, then 21 simulated steps and the closing 100; then 0, 51 simulated steps.
  EXPECT_EQ(closing, 23u);
  EXPECT_EQ(uninstalling, 52u);
  EXPECT_FALSE(ui_uninstall_flags.succeeded) << "a dry run removes nothing";
  EXPECT_EQ(recording_page::posted_with_redirection_off, 0);
  uninstall_ui_end(&state_);
}

}  // namespace
