// Fixtures of the install engine's Windows tests: stand-in processes under the product's
// names; the generic helpers are the shared ones of win_support.h.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>


#include "win_support.h"

namespace install_test {

using namespace test_support;

// A windowless process that runs under a chosen executable name until stopped: a copy of
// the harness's mutex holder, which waits for its stop file.
class named_process {
 public:
  named_process(const scratch_dir& folder, const char* exe_name, const char* tag) {
    exe_ = folder.sub(exe_name);
    stop_ = folder.sub((std::string(tag) + ".stop").c_str());
    std::string ready = folder.sub((std::string(tag) + ".ready").c_str());
    std::string helper = module_folder() + "\\tests\\harness\\win\\mutex_holder.exe";
    CopyFileA(helper.c_str(), exe_.c_str(), FALSE);
    std::string command = "\"" + exe_ + "\" CorvaneTest" + tag + " 60 \"" + ready + "\" \"" + stop_ + "\"";
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!CreateProcessA(exe_.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_)) {
      ADD_FAILURE() << "cannot start " << exe_ << " (gle=" << GetLastError() << ")";
      return;
    }
    for (int i = 0; i < 100 && GetFileAttributesA(ready.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
  }
  ~named_process() {
    if (!info_.hProcess) return;
    CloseHandle(CreateFileA(stop_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    if (WaitForSingleObject(info_.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(info_.hProcess, 1);
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  DWORD pid() const { return info_.dwProcessId; }

 private:
  std::string exe_, stop_;
  PROCESS_INFORMATION info_ = {};
};

}  // namespace install_test
