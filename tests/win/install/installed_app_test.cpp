// The process walk by executable name and the installed-app check, against real processes,
// files and registry values under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "base/bounded_text.h"
#include "base/processes_win.h"
#include "base/product.h"
#include "base/registry_win.h"
#include "install/installed_app.h"
#include "install_support.h"

namespace {

using install_test::named_process;
using install_test::scratch_dir;

struct walk_record {
  std::set<DWORD> seen;
  DWORD fail_pid = 0;  // the callback reports failure for this one process
  bool fail_all = false;
};

int record_pid(DWORD pid, void* context) {
  auto* record = static_cast<walk_record*>(context);
  record->seen.insert(pid);
  return !(record->fail_all || pid == record->fail_pid);
}

TEST(ProcessWalk, VisitsEveryMatchAndSumsUpTheCallbacks) {
  scratch_dir folder("corvane-walk-test");
  named_process first(folder, "corvane-walk-probe.exe", "a");
  named_process second(folder, "corvane-walk-probe.exe", "b");

  walk_record all_ok;
  int outcome = -1;
  // The name is matched without regard to case, as Windows file names are.
  ASSERT_EQ(for_each_process_named(L"CORVANE-Walk-Probe.EXE", record_pid, &all_ok, &outcome), 0);
  EXPECT_EQ(outcome, PROCESS_WALK_ALL_SUCCEEDED);
  EXPECT_EQ(all_ok.seen, (std::set<DWORD>{first.pid(), second.pid()}));

  walk_record one_fails;
  one_fails.fail_pid = second.pid();
  ASSERT_EQ(for_each_process_named(L"corvane-walk-probe.exe", record_pid, &one_fails, &outcome), 0);
  EXPECT_EQ(outcome, PROCESS_WALK_MIXED);

  walk_record all_fail;
  all_fail.fail_all = true;
  ASSERT_EQ(for_each_process_named(L"corvane-walk-probe.exe", record_pid, &all_fail, &outcome), 0);
  EXPECT_EQ(outcome, PROCESS_WALK_ALL_FAILED);
}

TEST(ProcessWalk, NoMatchMeansNoCallbackAndOutcomeZero) {
  walk_record record;
  int outcome = -1;
  // A prefix of a running name is not a match.
  ASSERT_EQ(for_each_process_named(L"explorer", record_pid, &record, &outcome), 0);
  EXPECT_EQ(outcome, PROCESS_WALK_NONE_RUNNING);
  EXPECT_TRUE(record.seen.empty());
}

class InstalledApp : public ::testing::Test {
 protected:
  void SetUp() override { wipe(); }
  void TearDown() override { wipe(); }
  static void wipe() {
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, KEY_WOW64_64KEY, 0);
  }
  static void touch(const std::string& path) {
    CloseHandle(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  }
  scratch_dir app_folder{"corvane-app-present"};
  scratch_dir other_folder{"corvane-app-elsewhere"};
  install_state state = {};
};

TEST_F(InstalledApp, EachSourceIsTriedInTurnAndOnlyFilesCount) {
  EXPECT_EQ(installed_app_present(&state), 0);  // nothing anywhere, empty install_dir

  text_copy(state.install_dir, app_folder.path().c_str());
  EXPECT_EQ(installed_app_present(&state), 0);
  CreateDirectoryA(app_folder.sub(PRODUCT_APP_EXE).c_str(), nullptr);
  EXPECT_EQ(installed_app_present(&state), 0) << "a folder named like the app is not the app";
  RemoveDirectoryA(app_folder.sub(PRODUCT_APP_EXE).c_str());
  touch(app_folder.sub(PRODUCT_APP_EXE));
  EXPECT_EQ(installed_app_present(&state), 1);

  // The registry sources are found even when install_dir points elsewhere.
  text_copy(state.install_dir, "C:\\no-such-corvane-folder");
  std::string elsewhere = other_folder.sub(PRODUCT_APP_EXE);
  touch(elsewhere);
  ASSERT_EQ(reg_write_string(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "InstallLocation",
                             (other_folder.path() + "\\").c_str()), 0);
  EXPECT_EQ(installed_app_present(&state), 1) << "trailing backslash of InstallLocation";
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, KEY_WOW64_64KEY, 0);

  ASSERT_EQ(reg_write_string(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, nullptr, ("\"" + elsewhere + "\"").c_str()), 0);
  EXPECT_EQ(installed_app_present(&state), 1) << "quoted App Paths value";
  DeleteFileA(elsewhere.c_str());
  EXPECT_EQ(installed_app_present(&state), 0) << "App Paths naming a missing file";
}

}  // namespace
