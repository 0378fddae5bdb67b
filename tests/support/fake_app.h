// A test executable copied under the name Corvane.exe plays the installed app, so the launch
// tests need no program of their own (the executable calls fake_app_run_if_named before main). Started by the code under test (no --fake-app
// switch) it records its command line in launched.txt beside itself and exits; started by a
// test with --fake-app=<mode> it stays up until <mode>.stop appears beside it:
//   wait       no window at all (an app that is still starting)
//   window     one visible top-level window
//   minimized  that window, minimised
//   hidden     a top-level window that is never shown
//   owned      a visible window owned by a hidden one
// and writes <mode>.ready once its windows exist.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "win_support.h"

namespace install_test {

inline std::wstring fake_app_folder() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring text(path);
  return text.substr(0, text.find_last_of(L'\\'));
}

inline bool fake_app_named() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const wchar_t* name = wcsrchr(path, L'\\');
  return lstrcmpiW(name ? name + 1 : path, L"Corvane.exe") == 0;
}

inline void fake_app_touch(const std::wstring& path, const std::wstring& text = L"") {
  HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  char utf8[4096];
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
  DWORD written = 0;
  if (n > 1) WriteFile(file, utf8, static_cast<DWORD>(n - 1), &written, nullptr);
  CloseHandle(file);
}

inline bool fake_app_windows(const std::wstring& mode) {
  WNDCLASSW window_class = {};
  window_class.lpfnWndProc = DefWindowProcW;
  window_class.lpszClassName = L"CorvaneFakeApp";
  RegisterClassW(&window_class);
  auto make = [](DWORD style, HWND owner) {
    return CreateWindowExW(0, L"CorvaneFakeApp", L"Corvane", style, 10, 10, 300, 200, owner, nullptr, nullptr,
                           nullptr);
  };
  if (mode == L"window") return make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr) != nullptr;
  if (mode == L"hidden") return make(WS_OVERLAPPEDWINDOW, nullptr) != nullptr;
  if (mode == L"minimized") {
    HWND window = make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, nullptr);
    if (window) ShowWindow(window, SW_MINIMIZE);
    return window != nullptr;
  }
  if (mode == L"owned") {
    HWND owner = make(WS_OVERLAPPEDWINDOW, nullptr);
    return owner && make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, owner);
  }
  return mode == L"wait";
}

// Called before main; returns only when this process is not playing the app.
inline void fake_app_run_if_named() {
  if (!fake_app_named()) return;
  std::wstring folder = fake_app_folder();
  std::wstring command = GetCommandLineW();
  size_t switch_at = command.find(L"--fake-app=");
  if (switch_at == std::wstring::npos) {
    fake_app_touch(folder + L"\\launched.txt", command + L"\r\n");
    ExitProcess(0);
  }
  std::wstring mode = command.substr(switch_at + 11);
  if (!fake_app_windows(mode)) ExitProcess(3);
  fake_app_touch(folder + L"\\" + mode + L".ready");
  std::wstring stop = folder + L"\\" + mode + L".stop";
  for (DWORD start = GetTickCount(); GetTickCount() - start < 60000;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (GetFileAttributesW(stop.c_str()) != INVALID_FILE_ATTRIBUTES) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
  }
  ExitProcess(0);
}

// An install folder holding the fake app; also starts copies of it in a chosen mode.
class fake_install {
 public:
  explicit fake_install(const char* name) : folder_(name) {
    CopyFileA(test_support::self_path().c_str(), exe().c_str(), FALSE);
  }
  ~fake_install() {
    for (auto& running : running_) {
      CloseHandle(CreateFileA(folder_.sub((running.first + ".stop").c_str()).c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, 0, nullptr));
      if (WaitForSingleObject(running.second, 10000) != WAIT_OBJECT_0) TerminateProcess(running.second, 1);
      CloseHandle(running.second);
    }
  }
  std::string exe() const { return folder_.sub("Corvane.exe"); }
  const test_support::scratch_dir& folder() const { return folder_; }
  // Command lines the app was started with by the code under test, waiting a while for
  // launches the shell performs after the call has returned.
  std::string launched(DWORD wait_ms = 10000) const {
    std::string path = folder_.sub("launched.txt");
    for (DWORD waited = 0; waited < wait_ms && GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
         waited += 100)
      Sleep(100);
    return test_support::read_file(path);
  }
  void start(const std::string& mode) {
    std::string command = "\"" + exe() + "\" --fake-app=" + mode;
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(exe().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    running_.emplace_back(mode, pi.hProcess);
    std::string ready = folder_.sub((mode + ".ready").c_str());
    for (int i = 0; i < 100 && GetFileAttributesA(ready.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
    ASSERT_NE(GetFileAttributesA(ready.c_str()), INVALID_FILE_ATTRIBUTES) << "fake app did not come up as " << mode;
  }

 private:
  test_support::scratch_dir folder_;
  std::vector<std::pair<std::string, HANDLE>> running_;
};

}  // namespace install_test
