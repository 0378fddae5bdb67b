// The UI install worker against a recording page, with no vendor reachable: the page sees the
// run begin, the download fail, and the terminal outcome that matches what is installed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "install/install_ui_worker.h"
#include "recording_page.h"

namespace {

using recording_page::posted;
using recording_page::progress;

class UiInstallWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    recording_page::attach();
    memset(&state_, 0, sizeof state_);
    state_.msi_file_size_kb = -1;
    strcpy(state_.os_architecture, "x64");
    GetTempPathA(sizeof state_.temp_dir, state_.temp_dir);
    strcpy(state_.install_dir, "C:\\no-such-corvane-install");
    state_.progress_fn = ui_progress_callback;
    ui_install_flags_reset(&state_);
  }
  void TearDown() override { recording_page::detach(); }
  install_state state_;
};

TEST_F(UiInstallWorker, CancelBeforeBeginEndsQuietly) {
  ui_install_flags.cancelled = 1;
  EXPECT_EQ(ui_install_worker(&state_), 1u);
  EXPECT_TRUE(posted.empty());
}

// Gathering the record would compete with the window's start: the worker waits until the
// window shows (or the screen ends without it) and gathers it once.
TEST_F(UiInstallWorker, GathersTheRecordOnlyOnceTheWindowLetsIt) {
  static int gathered;
  gathered = 0;
  ui_install_settle_on_worker([](install_state*) { ++gathered; });
  ui_install_flags.cancelled = 1;  // the worker ends once the record is gathered
  kernel_handle worker(CreateThread(nullptr, 0, ui_install_worker, &state_, 0, nullptr));
  ASSERT_TRUE(worker);
  EXPECT_EQ(WaitForSingleObject(worker.get(), 300), static_cast<DWORD>(WAIT_TIMEOUT)) << "gathered before the window showed";
  EXPECT_FALSE(ui_install_record_settled(0));
  ui_install_let_settle();
  ASSERT_EQ(WaitForSingleObject(worker.get(), 10000), static_cast<DWORD>(WAIT_OBJECT_0));
  EXPECT_TRUE(ui_install_record_settled(0));
  EXPECT_EQ(gathered, 1);
  EXPECT_TRUE(posted.empty());
}

TEST_F(UiInstallWorker, FailedDownloadWithNothingInstalledEndsInError) {
  ui_install_flags.begun = 1;
  EXPECT_EQ(ui_install_worker(&state_), 1u);
  ASSERT_GE(posted.size(), 3u);
  EXPECT_EQ(posted[0], progress("preparing", 0));
  EXPECT_EQ(posted[1], progress("downloading", 0));
  EXPECT_EQ(posted.back(),
            "{\"type\":\"event\",\"channel\":\"installer://terminal\",\"payload\":{\"stage\":\"download\",\"terminal\":"
            "\"fail\",\"outcome\":\"error\"}}");
  EXPECT_FALSE(ui_install_flags.succeeded);
  EXPECT_EQ(ui_install_flags.exit_stage, 0);
}

// A 32-bit process with redirection off loads its DLLs and COM servers from the 64-bit system
// folder, where they fail: the worker's downloads, COM calls and process starts run with the
// thread's own view (only the file calls that need it switch it off).
TEST_F(UiInstallWorker, WorksWithTheThreadsOwnFileSystemView) {
  recording_page::attach_noting_redirection();
  ui_install_flags.begun = 1;
  EXPECT_EQ(ui_install_worker(&state_), 1u);
  EXPECT_GE(posted.size(), 3u);
  EXPECT_EQ(recording_page::posted_with_redirection_off, 0);
}

}  // namespace
