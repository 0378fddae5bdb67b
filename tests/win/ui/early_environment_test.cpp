// The browser's environment asked for before the screen's window exists (so that the browser
// starts while the run gathers its state): the window takes up what came ahead of it without
// asking again, and a screen that gave up holds nothing and lets the late answer go. Driven
// through the real host with the WebView2 test double; real windows need a display, so the
// webview2_double scenario runs these under Xvfb.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/admin_token.h"
#include "base/browser_folders_win.h"
#include "product/product.h"
#include "ui/ui_host.h"
#include "ui/ui_host_window_win.h"
#include "ui/webview_loader.h"
#include "win_support.h"

namespace {

using namespace test_support;

size_t count_of(const std::string& text, const std::string& needle) {
  size_t count = 0;
  for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++count;
  return count;
}

void pump_for(DWORD milliseconds) {
  ULONGLONG deadline = GetTickCount64() + milliseconds;
  while (GetTickCount64() < deadline) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(5);
  }
}

// As the unelevated parent: waits for the screen's ready signal, then closes the window.
DWORD WINAPI close_once_ready(void* ready) {
  if (WaitForSingleObject(ready, 30000) == WAIT_OBJECT_0) ui_post_close();
  return 0;
}

class EarlyEnvironment : public ::testing::Test {
 protected:
  void SetUp() override {
    transcript = temp_path("early-environment.jsonl");
    DeleteFileW(wide(transcript).c_str());
    SetEnvironmentVariableW(L"CORVANE_WV2FAKE_TRANSCRIPT", wide(transcript).c_str());
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    HANDLE token = nullptr;
    char user[256];
    ASSERT_TRUE(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token));
    ASSERT_EQ(token_user_sid(token, user, sizeof user), 0);
    CloseHandle(token);
    ASSERT_EQ(browser_folders_make(user), 0);  // the user-data folders go there
    std::string folder = module_folder() + "\\webview2_fake";
    webview_loader_set_folder(folder.c_str());
    ASSERT_TRUE(webview_loader_load()) << "double not built beside the tests";
    live_objects = reinterpret_cast<LONG(STDAPICALLTYPE*)()>(
        GetProcAddress(GetModuleHandleW(wide(folder + "\\WebView2Loader.dll").c_str()), "FakeWebView2LiveObjects"));
    ASSERT_NE(live_objects, nullptr);
    ready = CreateEventA(nullptr, TRUE, FALSE, UI_READY_EVENT_NAME);
    ASSERT_NE(ready, nullptr);
  }

  void TearDown() override {
    ui_host_drop_environment();
    pump_for(200);
    browser_folders_remove();
    if (ready) CloseHandle(ready);
    CoUninitialize();
    SetEnvironmentVariableW(L"CORVANE_WV2FAKE_TRANSCRIPT", nullptr);
    DeleteFileW(wide(transcript).c_str());
  }

  static bool has_display() {
    HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (probe) DestroyWindow(probe);
    return probe != nullptr;
  }

  // Runs a screen without a page until its ready signal, then closes it; false without a display.
  bool run_screen_until_ready() {
    if (!has_display()) return false;
    HANDLE closer = CreateThread(nullptr, 0, close_once_ready, ready, 0, nullptr);
    ui_host_config config = {};
    config.title = "early environment";
    ui_host_run(&config);
    WaitForSingleObject(closer, 30000);
    CloseHandle(closer);
    return true;
  }

  std::string transcript;
  HANDLE ready = nullptr;
  LONG(STDAPICALLTYPE* live_objects)() = nullptr;
};

TEST_F(EarlyEnvironment, TheWindowTakesUpTheEnvironmentThatCameBeforeIt) {
  ui_host_begin_environment();
  pump_for(300);  // the answer comes from the message queue, well before any window
  ASSERT_EQ(g_ui_host.environment_state, early_environment::arrived);
  ASSERT_NE(g_ui_host.environment, nullptr) << "held until a window takes it up";

  if (!run_screen_until_ready()) GTEST_SKIP() << "no display";
  EXPECT_EQ(WaitForSingleObject(ready, 0), WAIT_OBJECT_0) << "the screen never came up";
  std::string calls = read_file(transcript);
  EXPECT_EQ(count_of(calls, "\"event\":\"create_environment\""), 1u) << "the window asked again:\n" << calls;
  EXPECT_EQ(count_of(calls, "\"event\":\"create_controller\""), 1u) << calls;
  EXPECT_EQ(g_ui_host.environment, nullptr);
  pump_for(200);
  EXPECT_EQ(live_objects(), 0) << "a reference was kept";
}

TEST_F(EarlyEnvironment, AScreenThatGaveUpHoldsNothingAndTheNextWindowAsksAnew) {
  ui_host_begin_environment();
  ui_host_drop_environment();  // before the answer came
  pump_for(300);
  EXPECT_EQ(g_ui_host.environment, nullptr) << "the late answer was held";
  EXPECT_EQ(g_ui_host.environment_state, early_environment::none);
  EXPECT_EQ(live_objects(), 0) << "the late answer was kept";

  ui_host_begin_environment();
  pump_for(300);
  ui_host_drop_environment();  // after it came: given back
  EXPECT_EQ(g_ui_host.environment, nullptr);
  pump_for(100);
  EXPECT_EQ(live_objects(), 0);

  if (!run_screen_until_ready()) GTEST_SKIP() << "no display";
  EXPECT_EQ(WaitForSingleObject(ready, 0), WAIT_OBJECT_0) << "the screen never came up";
  EXPECT_EQ(count_of(read_file(transcript), "\"event\":\"create_environment\""), 3u);
}

}  // namespace
