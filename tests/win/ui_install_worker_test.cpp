// The UI install worker against a recording page, with no vendor reachable: the page sees the
// run begin, the download fail, and the terminal outcome that matches what is installed.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "install/install_ui_worker.h"
#include "ui/ui_install_flags.h"
#include "ui/ui_post.h"

namespace {

std::mutex g_lock;
std::vector<std::string> g_posted;

void record(const char* json) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_posted.emplace_back(json);
}

std::string progress(const char* stage, int percent) {
  return std::string("{\"type\":\"event\",\"channel\":\"installer://progress\",\"payload\":{\"stage\":\"") + stage +
         "\",\"percent\":" + std::to_string(percent) + "}}";
}

class UiInstallWorker : public ::testing::Test {
 protected:
  void SetUp() override {
    SetEnvironmentVariableW(L"http_proxy", L"http://127.0.0.1:9");  // every request refused at once
    g_posted.clear();
    ui_set_post_sink(record);
    memset(&state_, 0, sizeof state_);
    state_.msi_file_size_kb = -1;
    strcpy(state_.os_architecture, "x64");
    GetTempPathA(sizeof state_.temp_dir, state_.temp_dir);
    strcpy(state_.install_dir, "C:\\no-such-corvane-install");
    state_.progress_fn = ui_progress_callback;
    ui_install_flags_reset(&state_);
  }
  void TearDown() override { ui_set_post_sink(nullptr); }
  install_state state_;
};

TEST_F(UiInstallWorker, CancelBeforeBeginEndsQuietly) {
  ui_install_flags.cancelled = 1;
  EXPECT_EQ(ui_install_worker(&state_), 1u);
  EXPECT_TRUE(g_posted.empty());
}

TEST_F(UiInstallWorker, FailedDownloadWithNothingInstalledEndsInError) {
  ui_install_flags.begun = 1;
  EXPECT_EQ(ui_install_worker(&state_), 1u);
  ASSERT_GE(g_posted.size(), 3u);
  EXPECT_EQ(g_posted[0], progress("preparing", 0));
  EXPECT_EQ(g_posted[1], progress("downloading", 0));
  EXPECT_EQ(g_posted.back(),
            "{\"type\":\"event\",\"channel\":\"installer://terminal\",\"payload\":{\"stage\":\"download\",\"terminal\":"
            "\"fail\",\"outcome\":\"error\"}}");
  EXPECT_FALSE(ui_install_flags.succeeded);
  EXPECT_EQ(ui_install_flags.exit_stage, 0);
}

}  // namespace
