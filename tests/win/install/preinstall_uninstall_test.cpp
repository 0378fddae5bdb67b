// The wait for the Windows Installer's global mutex after a pre-install uninstall, against a
// helper process holding it (Wine's own msiexec never creates it).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "install/preinstall_uninstall.h"

namespace {

std::wstring harness_helper(const wchar_t* name) {
  wchar_t exe[MAX_PATH];
  GetModuleFileNameW(nullptr, exe, MAX_PATH);
  std::wstring dir(exe);
  dir.resize(dir.find_last_of(L'\\'));
  return dir + L"\\tests\\harness\\win\\" + name;
}

std::wstring temp_file(const wchar_t* name) {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return std::wstring(temp) + name;
}

// Starts mutex_holder on Global\_MSIExecute and waits until it owns the mutex.
class InstallerMutexHolder {
 public:
  explicit InstallerMutexHolder(int seconds) {
    ready_ = temp_file(L"corvane-msiexecute-ready");
    stop_ = temp_file(L"corvane-msiexecute-stop");
    DeleteFileW(ready_.c_str());
    DeleteFileW(stop_.c_str());
    std::wstring command = L"\"" + harness_helper(L"mutex_holder.exe") + L"\" Global\\_MSIExecute " +
                           std::to_wstring(seconds) + L" \"" + ready_ + L"\" \"" + stop_ + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    started_ = CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                              &process_);
    for (int i = 0; started_ && i < 300 && GetFileAttributesW(ready_.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
      Sleep(100);
  }
  ~InstallerMutexHolder() {
    if (!started_) return;
    HANDLE stop = CreateFileW(stop_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (stop != INVALID_HANDLE_VALUE) CloseHandle(stop);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    DeleteFileW(ready_.c_str());
    DeleteFileW(stop_.c_str());
  }
  bool holding() const { return started_ && GetFileAttributesW(ready_.c_str()) != INVALID_FILE_ATTRIBUTES; }

 private:
  std::wstring ready_, stop_;
  PROCESS_INFORMATION process_ = {};
  BOOL started_ = FALSE;
};

TEST(InstallerMutexWait, NothingToWaitForWithoutTheMutex) {
  EXPECT_EQ(wait_for_installer_mutex(1000), installer_mutex_wait::absent);
}

TEST(InstallerMutexWait, AcquiresOnceTheOldUninstallLetsGo) {
  InstallerMutexHolder holder(2);
  ASSERT_TRUE(holder.holding());
  EXPECT_EQ(wait_for_installer_mutex(30000), installer_mutex_wait::acquired);
  // Released at once: nobody is kept waiting by the installer itself.
  HANDLE mutex = OpenMutexW(SYNCHRONIZE, FALSE, L"Global\\_MSIExecute");
  if (mutex) {
    EXPECT_NE(WaitForSingleObject(mutex, 1000), static_cast<DWORD>(WAIT_TIMEOUT));
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  }
}

TEST(InstallerMutexWait, GivesUpWhenStillHeld) {
  InstallerMutexHolder holder(60);
  ASSERT_TRUE(holder.holding());
  EXPECT_EQ(wait_for_installer_mutex(300), installer_mutex_wait::timed_out);
}

}  // namespace
