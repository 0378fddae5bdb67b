// The elevated launch and the wait for the elevated copy's screen, with this executable as that
// copy (elevated_child.h). Wine starts every "runas" child at once, already elevated.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <thread>
#include <vector>

#include "base/folders_win.h"
#include "consent/elevation_seam_win.h"
#include "consent/elevation_win.h"
#include "elevated_child.h"
#include "uninstall/temp_uninstaller.h"
#include "win_support.h"

namespace {

struct ElevationTest : ::testing::Test {
  void SetUp() override { ready = create_ready_event(); }
  void TearDown() override {
    elevated_child::stop();
    elevated_child::disarm();
    if (ready) CloseHandle(ready);
    if (child) CloseHandle(child);
    elevation_shell_execute = ShellExecuteExW;
  }
  HANDLE ready = nullptr;
  HANDLE child = nullptr;
};

bool ends_with(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// What the last swapped-in prompt was asked to start.
SHELLEXECUTEINFOW g_asked;
std::wstring g_file, g_parameters, g_folder, g_verb;

BOOL WINAPI declining_prompt(SHELLEXECUTEINFOW* info) {
  g_asked = *info;
  g_file = info->lpFile;
  g_parameters = info->lpParameters;
  g_folder = info->lpDirectory ? info->lpDirectory : L"";
  g_verb = info->lpVerb;
  SetLastError(ERROR_CANCELLED);
  return FALSE;
}

}  // namespace

TEST_F(ElevationTest, SelfRelaunchCarriesOwnArgumentsThenTheSwitchesAndSeesTheReadyEvent) {
  elevated_child::arm(elevated_child::READY);
  ASSERT_EQ(elevate_self("/SKIPWELCOME /USAGEDATA=1", nullptr, &child), 0u);
  ASSERT_NE(child, nullptr);
  DWORD started = GetTickCount();
  elevated_ui_wait wait = wait_for_elevated_ui(ready, child);
  EXPECT_EQ(wait.outcome, elevated_ui_outcome::ready);
  EXPECT_LT(GetTickCount() - started, 10000u);
  // The child's command line: its path, then what this process was given, then the switches.
  std::string own;
  std::vector<std::string> argv = ::testing::internal::GetArgvs();
  for (size_t i = 1; i < argv.size(); ++i) own += argv[i] + " ";
  EXPECT_TRUE(ends_with(elevated_child::command_line(), " " + own + "/SKIPWELCOME /USAGEDATA=1"))
      << elevated_child::command_line();
}

TEST_F(ElevationTest, TempCopyGetsTheSwitchesAloneAndAnEarlyExitEndsTheWaitWithItsCode) {
  test_support::scratch_dir dir("elevation-copy");
  std::string copy = dir.sub("CorvaneUninstall.exe");
  ASSERT_TRUE(CopyFileW(test_support::wide(test_support::self_path()).c_str(), test_support::wide(copy).c_str(), FALSE));
  elevated_child::arm(elevated_child::EXIT_AT_ONCE);
  ASSERT_EQ(elevate_temp_copy(copy.c_str(), "/SKIPWELCOME /USAGEDATA=0", nullptr, &child), 0u);
  DWORD started = GetTickCount();
  elevated_ui_wait wait = wait_for_elevated_ui(ready, child);
  EXPECT_EQ(wait.outcome, elevated_ui_outcome::exited);
  EXPECT_EQ(wait.exit_code, elevated_child::EXIT_CODE);
  EXPECT_LT(GetTickCount() - started, 10000u);
  std::string line = elevated_child::command_line();
  EXPECT_TRUE(ends_with(line, "CorvaneUninstall.exe\" /SKIPWELCOME /USAGEDATA=0")) << line;

  HANDLE none = nullptr;
  EXPECT_EQ(elevate_temp_copy("", "/SKIPWELCOME", nullptr, &none), static_cast<DWORD>(ERROR_BAD_ARGUMENTS));
}

TEST_F(ElevationTest, TheLaunchAsksTheShellForRunasFromTheSystemFolderAndReportsADeclinedPrompt) {
  elevation_shell_execute = declining_prompt;
  EXPECT_EQ(elevate_self("/SKIPWELCOME /USAGEDATA=1", nullptr, &child), static_cast<DWORD>(ERROR_CANCELLED));
  EXPECT_EQ(child, nullptr);
  EXPECT_EQ(g_verb, L"runas");
  EXPECT_EQ(g_asked.fMask, static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOZONECHECKS));
  EXPECT_EQ(g_asked.nShow, SW_SHOWNORMAL);
  EXPECT_EQ(g_file, test_support::wide(test_support::self_path()));
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  EXPECT_EQ(g_folder, system);
  EXPECT_TRUE(g_parameters.size() >= 25 && g_parameters.substr(g_parameters.size() - 25) == L"/SKIPWELCOME /USAGEDATA=1");
}

TEST_F(ElevationTest, TheWaitKeepsTheWindowAliveAndGivesBackAQuitItTookFromTheQueue) {
  static int timer_fired;
  timer_fired = 0;
  UINT_PTR timer = SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR, DWORD) { ++timer_fired; });
  PostQuitMessage(3);  // the window closed meanwhile
  std::thread screen([this] {
    Sleep(300);
    SetEvent(ready);
  });
  elevated_ui_wait wait = wait_for_elevated_ui(ready, nullptr);
  screen.join();
  KillTimer(nullptr, timer);
  EXPECT_EQ(wait.outcome, elevated_ui_outcome::ready);
  EXPECT_GT(timer_fired, 5);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(TempCopy, NotStagedWithinItsBoundIsNoCopy) {
  ASSERT_EQ(temp_uninstaller_staged(), 0);  // no staging was started in this process
  char path[MAX_PATH] = "x";
  DWORD started = GetTickCount();
  EXPECT_EQ(temp_copy_ready(path, sizeof path), -1);
  EXPECT_GE(GetTickCount() - started, TEMP_COPY_WAIT_MS - 100);
  EXPECT_STREQ(path, "");
}

TEST(TempCopy, TheStagedCopyIsHeldUntilLetGo) {
  start_temp_uninstaller_staging();
  char path[MAX_PATH];
  ASSERT_EQ(temp_copy_ready(path, sizeof path), 0);
  std::wstring wide = test_support::wide(path);
  EXPECT_NE(std::string(path).find("\\Corvane-"), std::string::npos) << path;
  EXPECT_EQ(test_support::read_file(path), test_support::read_file(test_support::self_path()));
  HANDLE writer = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  std::wstring moved = wide + L".moved";
  EXPECT_FALSE(MoveFileW(wide.c_str(), moved.c_str()));
  EXPECT_FALSE(DeleteFileW(wide.c_str()));
  // It can still be started, and a second ask gives the same copy.
  char again[MAX_PATH];
  ASSERT_EQ(temp_copy_ready(again, sizeof again), 0);
  EXPECT_STREQ(again, path);
  temp_uninstaller_release();
  EXPECT_TRUE(DeleteFileW(wide.c_str()));
  EXPECT_EQ(temp_copy_ready(again, sizeof again), -1);  // let go for good
}
