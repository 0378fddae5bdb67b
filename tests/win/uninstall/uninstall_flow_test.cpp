// Both phases of the uninstall against the test product's real packages under Wine's
// msiexec and service manager: a removal that succeeds purges everything but identity; a
// package that refuses its removal keeps its data folders and product key.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>

#include "product/close_product_win.h"
#include "product/product.h"
#include "uninstall/existing_install.h"
#include "uninstall/msi_uninstall.h"
#include "uninstall_support.h"

namespace {

using namespace uninstall_test;

// The build's test product (tests/fixtures/product), beside this executable.
const char* const OK_CODE = "{A4A31953-E763-425A-B793-0EBA76999F4A}";
const char* const FAILS_UNINSTALL_CODE = "{012C4D98-8F13-404E-91A7-3C2A0CFDACDE}";

std::string package(const char* variant) {
  std::string self = self_path();
  return self.substr(0, self.find_last_of('\\')) + "\\product\\" + variant + "\\Corvane-Installer-win-x64-latest.msi";
}

class UninstallRealProduct : public ProductFootprint {
 protected:
  void SetUp() override {
    ProductFootprint::SetUp();
    memset(&state_, 0, sizeof state_);
    install_dir_ = known_folder(CSIDL_PROGRAM_FILES) + "\\" PRODUCT_INSTALL_SUBDIR;
    strcpy(state_.install_dir, install_dir_.c_str());
  }
  void TearDown() override {
    // The refusing package leaves only through a partial removal of its one feature.
    run_command(std::string("msiexec.exe /i ") + FAILS_UNINSTALL_CODE + " REMOVE=Main /qn");
    run_command(std::string("msiexec.exe /x ") + OK_CODE + " /qn");
    ProductFootprint::TearDown();
  }

  // Installs a variant as the install sequence leaves it: the service running, this
  // program's uninstall entry and uninstaller, the machine identity, the runtime cache.
  void install(const char* variant, const char* code) {
    ASSERT_EQ(run_command("msiexec.exe /i \"" + package(variant) + "\" /qn LAUNCHAPP=0"), 0) << package(variant);
    set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "UninstallString", install_dir_ + "\\" UNINSTALLER_EXE);
    set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "MsiProductCode", code);
    write_file(install_dir_ + "\\" UNINSTALLER_EXE);
    set_sz(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "MachineId", "machine");
    CreateDirectoryA((known_folder(CSIDL_COMMON_APPDATA) + "\\Corvane").c_str(), nullptr);
    write_file(known_folder(CSIDL_COMMON_APPDATA) + "\\Corvane\\cache.bin");
    SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service = OpenServiceW(manager, L"" PRODUCT_SERVICE_NAME, SERVICE_START);
    EXPECT_TRUE(service && StartServiceW(service, 0, nullptr)) << "gle=" << GetLastError();
    if (service) CloseServiceHandle(service);
    CloseServiceHandle(manager);
  }

  install_state state_;
  std::string install_dir_;
};

TEST_F(UninstallRealProduct, RemovalPurgesAllButIdentity) {
  install("ok", OK_CODE);
  existing_install_probe probe;
  ASSERT_EQ(probe_existing_install(&probe), 1);
  EXPECT_EQ(probe.has_c, 1);
  EXPECT_EQ(probe.has_msi, 1);
  EXPECT_STREQ(probe.product_code, OK_CODE);
  EXPECT_STREQ(probe.existing_version, "2.1.7.0");
  EXPECT_EQ(probe.svc, 1);
  EXPECT_EQ(probe.dir, 1);
  // Only the installed Corvane.exe is the product's: the stand-in app runs under its name there.
  child_process app(install_dir_, PRODUCT_APP_EXE, "window");
  ASSERT_TRUE(app.wait_for_window());
  captured_log log("Uninstaller");

  close_running_product();
  EXPECT_EQ(uninstall_msi_and_clean(&state_), UNINSTALL_COMPLETE);

  EXPECT_EQ(app.exit_code(5000), static_cast<DWORD>(CHILD_CLOSED_BY_WINDOW));
  EXPECT_TRUE(log.has("Service Corvane.Service: stopped gracefully"));
  EXPECT_TRUE(log.has(std::string("[INFO] [Uninstaller] msiexec.exe /x ") + OK_CODE + " /qn /norestart"));
  EXPECT_TRUE(log.has("[INFO] [Uninstaller] msiexec uninstall exit code: 0"));
  EXPECT_TRUE(log.has("Purging %ProgramData% subdirs (msi_succeeded=1, product_registered=0)"));
  EXPECT_TRUE(log.has("Purged HKLM/HKCU Software\\CorvaneLabs\\Corvane (kept identity values)"));
  EXPECT_TRUE(log.has("Removed install directory: " + install_dir_));
  EXPECT_TRUE(log.has("Removed empty parent directory: " + known_folder(CSIDL_PROGRAM_FILES) + "\\Corvane Labs"));
  EXPECT_FALSE(exists(known_folder(CSIDL_PROGRAM_FILES) + "\\Corvane Labs"));
  EXPECT_FALSE(exists(known_folder(CSIDL_COMMON_APPDATA) + "\\Corvane"));
  EXPECT_FALSE(service_exists(PRODUCT_SERVICE_NAME));
  EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "MachineId"));
  EXPECT_FALSE(value_exists(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "TestPackageDecryptHttps"));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY));

  probe_existing_install(&probe);
  EXPECT_EQ(probe.any, 0) << "something of the product is left";
}

TEST_F(UninstallRealProduct, RefusedRemovalKeepsDataAndProductKey) {
  install("fails_uninstall", FAILS_UNINSTALL_CODE);
  captured_log log("Uninstaller");

  close_running_product();
  uninstall_msi_and_clean(&state_);

  EXPECT_TRUE(log.has("[WARN] [Uninstaller] msiexec uninstall exit code: 1603"));
  EXPECT_TRUE(log.has(std::string("Skipping %ProgramData% purge — MSI still registered (") + FAILS_UNINSTALL_CODE));
  EXPECT_TRUE(log.has("Skipping CorvaneLabs registry purge"));
  EXPECT_TRUE(exists(known_folder(CSIDL_COMMON_APPDATA) + "\\Corvane\\cache.bin"));
  EXPECT_TRUE(value_exists(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "ProductVersion"));
  // What does not depend on the package goes all the same.
  EXPECT_FALSE(service_exists(PRODUCT_SERVICE_NAME));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY));
  EXPECT_FALSE(key_exists(HKEY_LOCAL_MACHINE, std::string(UNINSTALL_ROOT_KEY) + "\\" + FAILS_UNINSTALL_CODE));
}

}  // namespace
