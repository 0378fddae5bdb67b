// Phase 2 of the uninstall under Wine with its real msiexec: what is removed after a
// removal that succeeded or failed, and the install-folder rules.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>

#include "product/product.h"
#include "uninstall/cleanup_steps_win.h"
#include "uninstall/msi_uninstall.h"
#include "uninstall_support.h"

namespace {

using namespace uninstall_test;

// Unknown to Wine's Windows Installer: msiexec /x of it fails with 1605.
const std::string STALE_CODE = "{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A}";
const char* const OTHER_ENTRY = "aapocclcgogkmnckokdopfmhonfmgoek;https://clients2.google.com/service/update2/crx";

class UninstallMsiAndClean : public ProductFootprint {
 protected:
  void SetUp() override {
    ProductFootprint::SetUp();
    memset(&state_, 0, sizeof state_);
    appdata_ = known_folder(CSIDL_COMMON_APPDATA);
  }

  // Everything the product leaves besides its package, with install_dir holding only
  // the uninstaller.
  void plant_remnants(const scratch_dir& dir) {
    CreateDirectoryA((appdata_ + "\\Corvane").c_str(), nullptr);
    write_file(appdata_ + "\\Corvane\\cache.bin");
    CreateDirectoryA((appdata_ + "\\CorvaneLabs").c_str(), nullptr);
    set_sz(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "MachineId", "machine");
    set_sz(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "ProductVersion", "2.0.266.0");
    set_sz(HKEY_CURRENT_USER, PRODUCT_REG_KEY, "UserId", "user");
    set_sz(HKEY_CURRENT_USER, PRODUCT_REG_KEY, "LaunchMode", "tray");
    set_sz(HKEY_LOCAL_MACHINE, RUN_KEY, RUN_VALUE_NAME, "x");
    set_sz(HKEY_CURRENT_USER, RUN_KEY, RUN_VALUE_NAME, "x");
    set_sz(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "1", PRODUCT_EXTENSION_ID);
    set_sz(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "2", OTHER_ENTRY);
    set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "UninstallString", "x");
    set_sz(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, nullptr, "x");
    write_file(known_folder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Corvane.lnk");
    write_file(known_folder(CSIDL_DESKTOPDIRECTORY) + "\\CorVane.lnk");
    create_task("\\CorvaneLabs\\CorvaneServiceCheck");
    std::string parent = dir.sub("Corvane Labs");
    CreateDirectoryA(parent.c_str(), nullptr);
    CreateDirectoryA((parent + "\\Corvane").c_str(), nullptr);
    write_file(parent + "\\Corvane\\" UNINSTALLER_EXE);
    strcpy(state_.install_dir, (parent + "\\Corvane").c_str());
  }

  // What goes whatever the MSI step did.
  void expect_unguarded_cleanup(const scratch_dir& dir) {
    EXPECT_FALSE(value_exists(HKEY_LOCAL_MACHINE, RUN_KEY, RUN_VALUE_NAME));
    EXPECT_FALSE(value_exists(HKEY_CURRENT_USER, RUN_KEY, RUN_VALUE_NAME));
    EXPECT_FALSE(value_exists(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "1"));
    EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, "2")) << "another extension's entry";
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY));
    EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, APP_PATHS_KEY));
    EXPECT_FALSE(exists(known_folder(CSIDL_COMMON_DESKTOPDIRECTORY) + "\\Corvane.lnk"));
    EXPECT_FALSE(exists(known_folder(CSIDL_DESKTOPDIRECTORY) + "\\CorVane.lnk"));
    EXPECT_FALSE(task_file_exists("CorvaneLabs\\CorvaneServiceCheck"));
    EXPECT_FALSE(exists(dir.sub("Corvane Labs"))) << "install folder and its emptied parent";
  }

  install_state state_;
  std::string appdata_;
};

TEST_F(UninstallMsiAndClean, FailedRemovalOfAnUnregisteredPackagePurgesDataOnly) {
  scratch_dir dir("uninstall-msi-unregistered");
  plant_remnants(dir);
  set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "MsiProductCode", STALE_CODE);  // recorded, not registered
  captured_log log("Uninstaller");

  EXPECT_EQ(uninstall_msi_and_clean(&state_), UNINSTALL_COMPLETE);

  EXPECT_FALSE(exists(appdata_ + "\\Corvane"));
  EXPECT_FALSE(exists(appdata_ + "\\CorvaneLabs"));
  EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "ProductVersion")) << "key kept after a failure";
  expect_unguarded_cleanup(dir);
  EXPECT_TRUE(log.has("[INFO] [Uninstaller] msiexec.exe /x " + STALE_CODE + " /qn /norestart"));
  EXPECT_TRUE(log.has("[WARN] [Uninstaller] msiexec uninstall exit code: 1605"));
  EXPECT_TRUE(log.has("[WARN] [Uninstaller] MSI uninstall returned 1605 — continuing cleanup"));
  EXPECT_TRUE(log.has("Purging %ProgramData% subdirs (msi_succeeded=0, product_registered=0)"));
  EXPECT_TRUE(log.has("Wiping %ProgramData% subdir: " + appdata_ + "\\Corvane"));
  EXPECT_TRUE(log.has("Removed %ProgramData% subdir: " + appdata_ + "\\CorvaneLabs"));
  EXPECT_TRUE(log.has("Skipping CorvaneLabs registry purge — MSI uninstall did not report success"));
  EXPECT_EQ(log.count("Deleted desktop shortcut: "), 2);
  EXPECT_TRUE(log.has("Removed install directory: " + std::string(state_.install_dir)));
  EXPECT_TRUE(log.has("Removed empty parent directory: " + dir.sub("Corvane Labs")));
  EXPECT_TRUE(log.has("[INFO] [Uninstaller] Uninstall complete"));
}

TEST_F(UninstallMsiAndClean, MissingProductCodeCountsAsRemovedAndPurgesAll) {
  scratch_dir dir("uninstall-msi-none");
  plant_remnants(dir);
  wipe(appdata_ + "\\CorvaneLabs");
  state_.install_dir[0] = '\0';  // no folder work at all
  captured_log log("Uninstaller");

  EXPECT_EQ(uninstall_msi_and_clean(&state_), UNINSTALL_COMPLETE);

  EXPECT_FALSE(exists(appdata_ + "\\Corvane"));
  EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "MachineId"));
  EXPECT_FALSE(value_exists(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "ProductVersion"));
  EXPECT_TRUE(value_exists(HKEY_CURRENT_USER, PRODUCT_REG_KEY, "UserId"));
  EXPECT_FALSE(value_exists(HKEY_CURRENT_USER, PRODUCT_REG_KEY, "LaunchMode"));
  EXPECT_TRUE(exists(dir.sub("Corvane Labs\\Corvane\\" UNINSTALLER_EXE))) << "install_dir empty: folder untouched";
  EXPECT_TRUE(log.has("[WARN] [Uninstaller] MSI product code not found — skipping MSI uninstall"));
  EXPECT_FALSE(log.has("msiexec"));
  EXPECT_FALSE(log.has("MSI uninstall returned"));
  EXPECT_TRUE(log.has("Purging %ProgramData% subdirs (msi_succeeded=1, product_registered=0)"));
  EXPECT_TRUE(log.has("%ProgramData% subdir already absent: " + appdata_ + "\\CorvaneLabs"));
  EXPECT_TRUE(log.has("Purged HKLM/HKCU Software\\CorvaneLabs\\Corvane (kept identity values)"));
  EXPECT_FALSE(log.has("install directory"));
}

class UninstallInstallDir : public ::testing::Test {
 protected:
  void SetUp() override {
    CreateDirectoryA(parent_.c_str(), nullptr);
    CreateDirectoryA(install_.c_str(), nullptr);
    CreateDirectoryA((install_ + "\\filters").c_str(), nullptr);
    write_file(install_ + "\\filters\\list.txt");
    write_file(install_ + "\\" UNINSTALLER_EXE);
    write_file(install_ + "\\Corvane.exe");
  }
  scratch_dir dir_{"uninstall-install-dir"};
  std::string parent_ = dir_.sub("Corvane Labs");
  std::string install_ = parent_ + "\\Corvane";
};

TEST_F(UninstallInstallDir, FileInUseKeepsTheUninstallerAndTheParent) {
  HANDLE held = CreateFileA((install_ + "\\Corvane.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  captured_log log("Uninstaller");

  EXPECT_EQ(clean_install_dir(install_.c_str()), UNINSTALL_FILES_REMAIN);

  CloseHandle(held);
  EXPECT_TRUE(exists(install_ + "\\" UNINSTALLER_EXE));
  EXPECT_TRUE(exists(install_ + "\\Corvane.exe"));
  EXPECT_FALSE(exists(install_ + "\\filters"));
  EXPECT_TRUE(exists(parent_));
  EXPECT_TRUE(log.has("[WARN] [Uninstaller] Files remain in install directory — keeping uninstaller for manual retry: " +
                      install_));
  EXPECT_FALSE(log.has("Removed"));
}

TEST_F(UninstallInstallDir, ParentSharedWithAnotherProductStays) {
  CreateDirectoryA((parent_ + "\\OtherProduct").c_str(), nullptr);
  captured_log log("Uninstaller");

  EXPECT_EQ(clean_install_dir(install_.c_str()), UNINSTALL_COMPLETE);

  EXPECT_FALSE(exists(install_));
  EXPECT_TRUE(exists(parent_ + "\\OtherProduct"));
  EXPECT_TRUE(log.has("Removed install directory: " + install_));
  EXPECT_FALSE(log.has("parent"));
  EXPECT_FALSE(log.has("RemoveDirectoryA attempt"));
}

}  // namespace
