// msiexec answering 1618 while another installation holds the Windows Installer: the package
// is tried again after logged waits (through the seams: no real msiexec, no real sleep), the
// page is told what the program waits for, and a busy Installer that never frees ends as today.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "install/msi_exec.h"
#include "install/msi_exec_seam_win.h"
#include "win_support.h"
#include "scoped_seam.h"

namespace {

using test_support::captured_log;

std::vector<int> g_answers;  // msiexec's exit codes, one per run; the last one repeats
std::vector<unsigned long> g_waits;
std::vector<std::string> g_commands, g_stages;

process_result answer(install_state*, const char* command) {
  g_commands.push_back(command);
  int code = g_answers.front();
  if (g_answers.size() > 1) g_answers.erase(g_answers.begin());
  return {true, static_cast<unsigned long>(code), 0};
}
void record_wait(unsigned long ms) { g_waits.push_back(ms); }
void record_stage(const char* stage, int, void*) {
  if (g_stages.empty() || g_stages.back() != stage) g_stages.push_back(stage);
}

class MsiBusy : public ::testing::Test {
 protected:
  void SetUp() override {
    g_waits.clear();
    g_commands.clear();
    g_stages.clear();
    state_ = {};
    GetTempPathA(sizeof state_.temp_dir, state_.temp_dir);
    strcpy(state_.install_date, "20260101");  // an earlier install: no first-install values written
    state_.progress_fn = record_stage;
  }
  test_support::scoped_seam<process_result (*)(install_state*, const char*)> run_{msi_exec_run, answer};
  test_support::scoped_seam<void (*)(unsigned long)> sleep_{msi_busy_sleep, record_wait};
  install_state state_;
};

TEST_F(MsiBusy, TwoBusyAnswersAreWaitedOutAndTheThirdTryInstalls) {
  captured_log log;
  g_answers = {1618, 1618, 0};
  EXPECT_EQ(run_msi_install(&state_, "C:\\no-such-folder\\P.msi").shown_code(), 0);
  EXPECT_EQ(g_waits, (std::vector<unsigned long>{5000, 10000}));
  ASSERT_EQ(g_commands.size(), 3u);
  EXPECT_EQ(g_commands[2], g_commands[0]);  // the same package and switches each time
  EXPECT_EQ(g_stages, (std::vector<std::string>{"waiting_for_installer", "installing", "waiting_for_installer",
                                                "installing"}));
  EXPECT_TRUE(log.has("[INFO] [Installer] Another installation is in progress (msiexec exit code 1618) — waiting 5 s "
                      "before try 2"))
      << log.text();
  EXPECT_TRUE(log.has("waiting 10 s before try 3"));
  EXPECT_FALSE(log.has("giving up"));
}

TEST_F(MsiBusy, AnInstallerBusyForTenMinutesFailsAsBefore) {
  captured_log log;
  g_answers = {1618};
  EXPECT_EQ(run_msi_install(&state_, "C:\\no-such-folder\\P.msi").shown_code(), 1618);
  unsigned long waited = 0;
  for (unsigned long ms : g_waits) waited += ms;
  EXPECT_EQ(waited, 600000u);
  EXPECT_EQ(g_commands.size(), g_waits.size() + 1);
  EXPECT_TRUE(log.has("[WARN] [Installer] Another installation is still in progress after 600 s of waiting — giving up"))
      << log.text();
}

TEST_F(MsiBusy, OtherFailuresAreNotRetried) {
  g_answers = {1603, 0};
  EXPECT_EQ(run_msi_install(&state_, "C:\\no-such-folder\\P.msi").shown_code(), 1603);
  EXPECT_TRUE(g_waits.empty());
  EXPECT_EQ(g_commands.size(), 1u);
}

}  // namespace
