// The native consent window on a real window (it needs a display): the person clicks Install,
// declines the UAC prompt (the seam's), reads the explanation, and cancels.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>

#include "consent/consent.h"
#include "consent/elevation_seam_win.h"
#include "on_screen.h"
#include "win_support.h"
#include "scoped_seam.h"

namespace {

int g_prompts;
BOOL WINAPI declined_prompt(SHELLEXECUTEINFOW*) {
  ++g_prompts;
  SetLastError(ERROR_CANCELLED);
  return FALSE;
}

bool buttons_enabled(HWND window) {
  return IsWindowEnabled(GetDlgItem(window, 2001)) && IsWindowEnabled(GetDlgItem(window, 2002));
}

}  // namespace

TEST(ConsentWindow, ADeclinedPromptExplainsAndEnablesBothButtonsAgainAndCancelEndsWithOne) {
  if (!on_screen::have_display()) GTEST_SKIP() << "no display for windows";
  test_support::captured_log log;
  test_support::scoped_seam<BOOL(WINAPI*)(SHELLEXECUTEINFOW*)> declining(elevation_shell_execute, declined_prompt);
  g_prompts = 0;
  install_state state = {};
  state.analytics_enabled = 1;
  std::string explanation;
  bool disabled_while_asking = false, enabled_after = false;
  std::thread person([&] {
    HWND window = on_screen::wait_for_window(L"CorvaneConsentWindow", L"CorVane Setup");
    if (!window) return;
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(2001, BN_CLICKED), 0);
    if (HWND box = on_screen::wait_for_window(L"#32770", L"CorVane Setup")) {
      disabled_while_asking = !IsWindowEnabled(GetDlgItem(window, 2001)) && !IsWindowEnabled(GetDlgItem(window, 2002));
      explanation = on_screen::answer_box(box);
    }
    for (int i = 0; i < 50 && !(enabled_after = buttons_enabled(window)); ++i) Sleep(100);
    PostMessageW(window, WM_COMMAND, MAKEWPARAM(2002, BN_CLICKED), 0);
  });
  int result = consent_exit_code(consent_window(&state, 0));
  person.join();
  EXPECT_EQ(result, 1);
  EXPECT_EQ(g_prompts, 1);
  EXPECT_TRUE(disabled_while_asking);
  EXPECT_TRUE(enabled_after);
  EXPECT_EQ(explanation, "Corvane must be installed system-wide to work across all browsers. To install, please click "
                         "'Install Now' again and select 'Yes' when Windows asks for permission.");
  EXPECT_TRUE(log.has("consent_window: user clicked Install (already_elevated=1)"));
  EXPECT_TRUE(log.has("consent_window: user declined UAC prompt"));
}
