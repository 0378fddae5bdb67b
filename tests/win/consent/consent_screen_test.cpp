// consent.html's button on the consent screen's handler, without its window: the answers the
// page receives (recording_page.h), the log, the close event's payload. The UAC prompt that
// Wine never shows is the seam's (elevation_seam_win.h); the elevated copy is this executable.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "base/log.h"
#include "consent/consent_screen_win.h"
#include "consent/elevation_seam_win.h"
#include "elevated_child.h"
#include "on_screen.h"
#include "recording_page.h"
#include "ui/page_contract.h"
#include "win_support.h"

namespace {

std::string invoke(int id, const char* cmd, const char* args = "{}") {
  return "{\"type\":\"invoke\",\"id\":" + std::to_string(id) + ",\"cmd\":\"" + cmd + "\",\"args\":" + args + "}";
}

std::string answer(int id, const char* result) {
  return "{\"type\":\"response\",\"id\":" + std::to_string(id) + ",\"result\":" + result + "}";
}

int g_prompts;
BOOL WINAPI prompt_failing_with(DWORD error) {
  ++g_prompts;
  SetLastError(error);
  return FALSE;
}
BOOL WINAPI declined_prompt(SHELLEXECUTEINFOW*) { return prompt_failing_with(ERROR_CANCELLED); }
BOOL WINAPI missing_file_prompt(SHELLEXECUTEINFOW*) { return prompt_failing_with(ERROR_FILE_NOT_FOUND); }
// The person clicks again while the prompt is up: the host dispatches that message meanwhile.
BOOL WINAPI prompt_clicked_twice(SHELLEXECUTEINFOW*) {
  consent_on_message(invoke(5, page_command("consent_elevate")).c_str(), nullptr);
  return prompt_failing_with(ERROR_CANCELLED);
}

// Reads and answers the explanation box from another thread; empty when none came.
struct box_answerer {
  std::string text;
  std::thread thread{[this] {
    if (HWND box = on_screen::wait_for_window(L"#32770", L"CorVane Setup")) text = on_screen::answer_box(box);
  }};
  std::string wait() {
    thread.join();
    return text;
  }
};

struct ConsentScreen : ::testing::Test {
  void SetUp() override {
    recording_page::attach();
    log_set_min_level(LOG_LEVEL_DEBUG);  // the events' payloads
    state.analytics_enabled = 1;
    consent_screen_begin(&state, 0);
    g_prompts = 0;
  }
  void TearDown() override {
    elevation_shell_execute = ShellExecuteExW;
    elevated_child::stop();
    elevated_child::disarm();
    recording_page::detach();
  }
  install_state state = {};
  test_support::captured_log log;
};

}  // namespace

TEST_F(ConsentScreen, ADeclinedPromptExplainsAndLeavesTheButtonForAnotherTry) {
  if (!on_screen::have_display()) GTEST_SKIP() << "no display for the explanation box";
  elevation_shell_execute = declined_prompt;
  for (int id : {3, 4}) {
    box_answerer box;
    consent_on_message(invoke(id, page_command("consent_elevate"), "{\"decrypt_https\":false}").c_str(), nullptr);
    EXPECT_EQ(box.wait(), "Corvane must be installed system-wide to work across all browsers. To install, please click "
                          "'Install Now' again and select 'Yes' when Windows asks for permission.");
    EXPECT_EQ(recording_page::posted.back(), answer(id, "{\"status\":\"cancelled\"}"));
  }
  EXPECT_EQ(g_prompts, 2);
  EXPECT_EQ(recording_page::posted.size(), 2u);
  EXPECT_EQ(log.count("consent_webview: user declined UAC prompt"), 2);
  EXPECT_EQ(consent_exit_code(g_consent.result), 1);  // still open
  EXPECT_STREQ(g_consent.elevation_args, "/SKIPWELCOME /DRYRUN=0 /UNINSTALLFIRST=0 /DECRYPTHTTPS=0 /USAGEDATA=1");
}

TEST_F(ConsentScreen, AClickWhileTheElevationRunsIsIgnoredAndTheFirstIsAnsweredOnce) {
  elevation_shell_execute = prompt_clicked_twice;
  consent_on_message(invoke(4, page_command("consent_elevate")).c_str(), nullptr);
  EXPECT_EQ(g_prompts, 1);
  ASSERT_EQ(recording_page::posted.size(), 1u);
  EXPECT_EQ(recording_page::posted[0], answer(4, "{\"status\":\"cancelled\"}"));
  EXPECT_TRUE(log.has("consent_webview: consent_elevate ignored: an elevation is already under way"));
  // Wine's process is elevated: the in-process continuation was tried first and, without a
  // window, fell back to an elevated copy.
  EXPECT_TRUE(log.has("consent_webview: in-proc handoff failed (rc=-1), falling back to spawned elevated child"));
}

TEST_F(ConsentScreen, AFailedLaunchAnswersItsErrorAndEndsTheScreen) {
  elevation_shell_execute = missing_file_prompt;
  consent_on_message(invoke(3, page_command("consent_elevate")).c_str(), nullptr);
  ASSERT_EQ(recording_page::posted.size(), 1u);
  EXPECT_EQ(recording_page::posted[0], answer(3, "{\"status\":\"error\",\"error\":2}"));
  EXPECT_TRUE(log.has("[ERROR] [Installer] consent_webview: elevation error 2"));
  EXPECT_EQ(consent_exit_code(g_consent.result), 1);
}

// The screen's choices travel to the elevated copy after this process's own arguments, and a
// declined usage-data box holds from the click on: no click event is built.
TEST_F(ConsentScreen, DeclinedUsageDataSendsNoClickAndTheCopyIsToldSo) {
  elevated_child::arm(elevated_child::READY);
  consent_on_message(invoke(3, page_command("consent_elevate"), "{\"analytics_enabled\":false}").c_str(), nullptr);
  EXPECT_EQ(consent_exit_code(g_consent.result), 0);
  EXPECT_EQ(state.analytics_enabled, 0);
  EXPECT_TRUE(log.has("[tracking] suppressed 'corvane.installer.click'")) << log.text();
  EXPECT_FALSE(log.has("attempting 'corvane.installer.click'"));
  std::string line = elevated_child::command_line();
  const std::string tail = " /SKIPWELCOME /DRYRUN=0 /UNINSTALLFIRST=0 /DECRYPTHTTPS=1 /USAGEDATA=0";
  EXPECT_TRUE(line.size() > tail.size() && line.compare(line.size() - tail.size(), tail.size(), tail) == 0) << line;
}

TEST_F(ConsentScreen, ACopyThatExitsAtOnceGivesTenAndTheCloseEvent) {
  elevated_child::arm(elevated_child::EXIT_AT_ONCE);
  consent_on_message(invoke(3, page_command("consent_elevate")).c_str(), nullptr);
  EXPECT_EQ(consent_exit_code(g_consent.result), 10);
  ASSERT_EQ(recording_page::posted.size(), 1u);
  EXPECT_EQ(recording_page::posted[0], answer(3, "{\"status\":\"ok\"}"));
  EXPECT_TRUE(log.has("[ERROR] [Installer] consent_webview: Elevated child exited before showing UI (exit code 7)"));
  EXPECT_TRUE(log.has("[tracking] attempting 'corvane.installer.close'"));
  EXPECT_TRUE(log.has("\"message\":\"Elevated child exited before showing UI (exit code 7)\""));
}

TEST_F(ConsentScreen, ACopyThatNeverShowsItsScreenGivesElevenAfterFifteenSeconds) {
  elevated_child::arm(elevated_child::SILENT);
  DWORD started = GetTickCount();
  consent_on_message(invoke(3, page_command("consent_elevate")).c_str(), nullptr);
  EXPECT_GE(GetTickCount() - started, 15000u);
  EXPECT_EQ(consent_exit_code(g_consent.result), 11);
  EXPECT_TRUE(log.has("[WARN] [Installer] consent_webview: Elevated child showed no UI within 15000 ms (still running)"));
  EXPECT_TRUE(log.has("\"message\":\"Elevated child showed no UI within 15000 ms (still running)\""));
}
