// The installed-app check against real files and registry values under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/bounded_text.h"
#include "base/reg_view_win.h"
#include "product/product.h"
#include "install/installed_app.h"
#include "product/product.h"
#include "win_support.h"

namespace {

using namespace test_support;

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
  ASSERT_EQ(reg_write_text(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, REG_VIEW_64, "InstallLocation",
                           (other_folder.path() + "\\").c_str()),
            ERROR_SUCCESS);
  EXPECT_EQ(installed_app_present(&state), 1) << "trailing backslash of InstallLocation";
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, KEY_WOW64_64KEY, 0);

  ASSERT_EQ(reg_write_text(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, REG_VIEW_64, nullptr, ("\"" + elsewhere + "\"").c_str()),
            ERROR_SUCCESS);
  EXPECT_EQ(installed_app_present(&state), 1) << "quoted App Paths value";
  DeleteFileA(elsewhere.c_str());
  EXPECT_EQ(installed_app_present(&state), 0) << "App Paths naming a missing file";
}

}  // namespace
