// The process walk by executable name against real processes under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "base/processes_win.h"
#include "win_support.h"

namespace {

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

struct walk_record {
  std::set<DWORD> seen;
  DWORD fail_pid = 0;  // the callback reports failure for this one process
  bool fail_all = false;
};

bool record_pid(DWORD pid, void* context) {
  auto* record = static_cast<walk_record*>(context);
  record->seen.insert(pid);
  return !(record->fail_all || pid == record->fail_pid);
}

TEST(ProcessWalk, VisitsEveryMatchAndSumsUpTheCallbacks) {
  scratch_dir folder("corvane-walk-test");
  named_process first(folder, "corvane-walk-probe.exe", "a");
  named_process second(folder, "corvane-walk-probe.exe", "b");

  walk_record all_ok;
  // The name is matched without regard to case, as Windows file names are.
  EXPECT_EQ(for_each_process_named(L"CORVANE-Walk-Probe.EXE", record_pid, &all_ok), process_walk::all_succeeded);
  EXPECT_EQ(all_ok.seen, (std::set<DWORD>{first.pid(), second.pid()}));

  walk_record one_fails;
  one_fails.fail_pid = second.pid();
  EXPECT_EQ(for_each_process_named(L"corvane-walk-probe.exe", record_pid, &one_fails), process_walk::mixed);

  walk_record all_fail;
  all_fail.fail_all = true;
  EXPECT_EQ(for_each_process_named(L"corvane-walk-probe.exe", record_pid, &all_fail), process_walk::all_failed);
}

TEST(ProcessWalk, NoMatchMeansNoCallbackAndOutcomeZero) {
  walk_record record;
  // A prefix of a running name is not a match.
  EXPECT_EQ(for_each_process_named(L"explorer", record_pid, &record), process_walk::none_running);
  EXPECT_TRUE(record.seen.empty());
}

}  // namespace
