// The existing-install probe against Wine's registry (both views), file system, service
// manager and task store: what counts as installed, what counts as a remnant.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "product/product.h"
#include "uninstall/existing_install.h"
#include "uninstall_support.h"

namespace {

using namespace uninstall_test;

const std::string MSI_CODE = "{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A}";
const std::string MSI_KEY = std::string(UNINSTALL_ROOT_KEY) + "\\" + MSI_CODE;
const std::string OTHER_CODE = "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}";

class UninstallProbe : public ProductFootprint {
 protected:
  existing_install_probe probe() {
    existing_install_probe result;
    memset(&result, 0x5A, sizeof result);  // the probe must zero what it does not set
    last_return_ = probe_existing_install(&result);
    return result;
  }
  int last_return_ = -1;
};

TEST_F(UninstallProbe, CleanMachineHasNothing) {
  existing_install_probe p = probe();
  EXPECT_EQ(last_return_, 0);
  existing_install_probe zero = {};
  EXPECT_EQ(memcmp(&p, &zero, sizeof p), 0);
}

TEST_F(UninstallProbe, OwnEntryCountsInEitherViewWithAnUninstallString) {
  set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "UninstallString", "", KEY_WOW64_64KEY);
  set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "UninstallString", "C:\\x.exe", KEY_WOW64_32KEY, REG_EXPAND_SZ);
  EXPECT_EQ(probe().has_c, 0) << "empty in one view, not REG_SZ in the other";
  set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "UninstallString", "\"C:\\x\\CorvaneUninstall.exe\"", KEY_WOW64_32KEY);
  existing_install_probe p = probe();
  EXPECT_EQ(p.has_c, 1) << "only the 32-bit view holds it";
  EXPECT_EQ(p.has_msi, 0) << "the own entry is never the MSI's";
  EXPECT_EQ(p.any, 1);
  EXPECT_EQ(last_return_, 1);
}

TEST_F(UninstallProbe, MsiEntryFoundByDisplayNameInTheSecondView) {
  set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "DisplayName", "Corvane");
  set_sz(HKEY_LOCAL_MACHINE, std::string(UNINSTALL_ROOT_KEY) + "\\" + OTHER_CODE, "DisplayName", "Corvane",
         KEY_WOW64_64KEY, REG_EXPAND_SZ);
  EXPECT_EQ(probe().has_msi, 0) << "own entry, and a display name that is not REG_SZ";

  set_sz(HKEY_LOCAL_MACHINE, MSI_KEY, "DisplayName", "corvane", KEY_WOW64_32KEY);
  set_sz(HKEY_LOCAL_MACHINE, MSI_KEY, "DisplayVersion", "1.4.560.0", KEY_WOW64_32KEY);
  existing_install_probe p = probe();
  EXPECT_EQ(last_return_, 1);
  EXPECT_EQ(p.has_msi, 1);
  EXPECT_EQ(p.has_c, 0);
  EXPECT_EQ(MSI_CODE, p.product_code);
  EXPECT_STREQ(p.existing_version, "1.4.560.0");

  set_dword(HKEY_LOCAL_MACHINE, MSI_KEY, "DisplayVersion", 7, KEY_WOW64_32KEY);
  p = probe();
  EXPECT_EQ(p.has_msi, 1);
  EXPECT_STREQ(p.existing_version, "") << "a version that is not text is no version";
}

TEST_F(UninstallProbe, ProductCodePrefersTheRecordedOne) {
  char code[128] = "stale";
  EXPECT_EQ(find_msi_product_code(code, sizeof code), -1);
  EXPECT_STREQ(code, "");

  set_sz(HKEY_LOCAL_MACHINE, MSI_KEY, "DisplayName", "Corvane");
  ASSERT_EQ(find_msi_product_code(code, sizeof code), 0);
  EXPECT_EQ(MSI_CODE, code) << "found by search";

  set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "MsiProductCode", "");
  ASSERT_EQ(find_msi_product_code(code, sizeof code), 0);
  EXPECT_EQ(MSI_CODE, code) << "an empty recorded code falls back to the search";

  set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "MsiProductCode", OTHER_CODE);
  ASSERT_EQ(find_msi_product_code(code, sizeof code), 0);
  EXPECT_EQ(OTHER_CODE, code) << "the recorded code wins over the search";

  char small[8];
  EXPECT_EQ(find_msi_product_code(small, sizeof small), -1) << "a cut code names no product";
  EXPECT_STREQ(small, "");
}

TEST_F(UninstallProbe, ProductCodeThatIsNoGuidIsNeverUsed) {
  char code[128];
  set_sz(HKEY_LOCAL_MACHINE, MSI_KEY, "DisplayName", "Corvane");
  // A recorded value that would name the whole uninstall root, or add msiexec arguments.
  for (const char* tampered : {"\\", "{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0} /i x.msi"}) {
    set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "MsiProductCode", tampered);
    ASSERT_EQ(find_msi_product_code(code, sizeof code), 0) << tampered;
    EXPECT_EQ(MSI_CODE, code) << "falls back to the search past " << tampered;
  }

  std::string odd = std::string(UNINSTALL_ROOT_KEY) + "\\Corvane (old)";
  delete_key(HKEY_LOCAL_MACHINE, MSI_KEY, KEY_WOW64_64KEY);
  set_sz(HKEY_LOCAL_MACHINE, odd, "DisplayName", "Corvane");
  EXPECT_EQ(find_msi_product_code(code, sizeof code), -1) << "an entry not named by a product code";
  EXPECT_STREQ(code, "");
  delete_key(HKEY_LOCAL_MACHINE, odd, KEY_WOW64_64KEY);
}

TEST_F(UninstallProbe, ProductKeyHoldingOnlyIdentityIsNoRemnant) {
  set_sz(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "MachineId", "m");
  set_sz(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "machinedate", "2024-01-01");
  set_sz(HKEY_CURRENT_USER, PRODUCT_REG_KEY, "UserId", "u");
  set_sz(HKEY_CURRENT_USER, PRODUCT_REG_KEY, "UserDate", "2024-01-01");
  existing_install_probe p = probe();
  EXPECT_EQ(p.hive, 0);
  EXPECT_EQ(p.any, 0);

  set_sz(HKEY_CURRENT_USER, PRODUCT_REG_KEY, "MachineId", "x");
  EXPECT_EQ(probe().hive, 1) << "a machine identity name is not an identity value of the user hive";
  delete_key(HKEY_CURRENT_USER, PRODUCT_REG_KEY, KEY_WOW64_64KEY);

  create_key(HKEY_LOCAL_MACHINE, std::string(PRODUCT_REG_KEY) + "\\Filters", KEY_WOW64_32KEY);
  EXPECT_EQ(product_key_has_data(HKEY_LOCAL_MACHINE, HKLM_IDENTITY_VALUES), 1) << "a subkey in the 32-bit view";
  EXPECT_EQ(probe().hive, 1);
}

TEST_F(UninstallProbe, EachRemnantIsSeenOnItsOwn) {
  scratch_dir dir("uninstall-probe-app");
  std::string app = dir.sub(PRODUCT_APP_EXE);
  write_file(app);

  create_key(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, KEY_WOW64_32KEY);
  existing_install_probe p = probe();
  EXPECT_EQ(p.apppaths, 1);
  EXPECT_EQ(p.dir, 0) << "a key without a path names no executable";
  EXPECT_EQ(p.any, 1);
  EXPECT_EQ(last_return_, 0) << "remnants are not an installation";

  set_sz(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, nullptr, "\"" + app + "\"");
  EXPECT_EQ(probe().dir, 0) << "the probe takes the path as stored, quotes included";
  set_sz(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, nullptr, app);
  EXPECT_EQ(probe().dir, 1);
  wipe_product_footprint();

  std::string folder = known_folder(CSIDL_PROGRAM_FILES) + "\\Corvane Labs";
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA((folder + "\\Corvane").c_str(), nullptr);
  write_file(folder + "\\Corvane\\" PRODUCT_APP_EXE);
  p = probe();
  EXPECT_EQ(p.dir, 1) << "found in Program Files without App Paths";
  EXPECT_EQ(p.any, 1);
  wipe_product_footprint();

  set_sz(HKEY_LOCAL_MACHINE, RUN_KEY, RUN_VALUE_NAME, "x", KEY_WOW64_32KEY);
  p = probe();
  EXPECT_EQ(p.run, 1);
  EXPECT_EQ(p.any, 1);
  wipe_product_footprint();

  CreateDirectoryA((known_folder(CSIDL_COMMON_APPDATA) + "\\CorvaneLabs").c_str(), nullptr);
  EXPECT_EQ(probe().pdata, 1);
  wipe_product_footprint();

  write_file(known_folder(CSIDL_DESKTOPDIRECTORY) + "\\CorVane.lnk");
  p = probe();
  EXPECT_EQ(p.shortcut, 1);
  EXPECT_EQ(p.any, 1);
}

TEST_F(UninstallProbe, ServicesAndTasksOfTheProductOnly) {
  {
    test_service driver_stand_in(PRODUCT_DRIVER_SERVICE, "obedient", false);
    EXPECT_EQ(probe().svc, 1) << "registered, not running";
  }
  EXPECT_EQ(probe().svc, 0);

  create_task("\\OtherVendor\\CorvaneUICheck");
  EXPECT_EQ(probe().task, 0) << "same task name in another folder";
  create_task("\\CorvaneLabs\\CorvaneUICheck");
  existing_install_probe p = probe();
  EXPECT_EQ(p.task, 1);
  EXPECT_EQ(p.any, 1);
}

}  // namespace
