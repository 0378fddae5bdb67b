// Post-install registration against Wine's registry in both views: the package's rows are
// hidden, ours is written from what they say, the uninstaller copy gates everything.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/bounded_text.h"
#include "install/registration.h"
#include "product/product.h"
#include "win_support.h"

namespace {

using test_support::captured_log;
using test_support::scratch_dir;
using test_support::set_dword;
using test_support::set_sz;

const char* const MSI_64 = UNINSTALL_ROOT_KEY "\\{C0FFEE64-0000-4000-8000-000000000064}";
const char* const MSI_32 = UNINSTALL_ROOT_KEY "\\{C0FFEE32-0000-4000-8000-000000000032}";
const char* const OTHER_APP = UNINSTALL_ROOT_KEY "\\{C0FFEE00-0000-4000-8000-0000000000FF}";
constexpr REGSAM V64 = KEY_WOW64_64KEY, V32 = KEY_WOW64_32KEY;

DWORD view_flag(REGSAM view) { return view == V32 ? RRF_SUBKEY_WOW6432KEY : RRF_SUBKEY_WOW6464KEY; }
std::string text_of(REGSAM view, const char* key, const char* name) {
  char out[512];
  DWORD bytes = sizeof out;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_SZ | view_flag(view), nullptr, out, &bytes) !=
      ERROR_SUCCESS)
    return "<absent>";
  return out;
}
long dword_of(REGSAM view, const char* key, const char* name) {
  DWORD out = 0, bytes = sizeof out;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key, name, RRF_RT_REG_DWORD | view_flag(view), nullptr, &out, &bytes) !=
      ERROR_SUCCESS)
    return -1;
  return static_cast<long>(out);
}

class Registration : public ::testing::Test {
 protected:
  void SetUp() override {
    wipe();
    text_copy(state.install_dir, install.path().c_str());
  }
  void TearDown() override { wipe(); }
  static void wipe() {
    for (REGSAM view : {V64, V32}) {
      for (const char* key : {OWN_UNINSTALL_KEY, MSI_64, MSI_32, OTHER_APP, APP_PATHS_KEY})
        RegDeleteKeyExA(HKEY_LOCAL_MACHINE, key, view, 0);
      HKEY handle;
      for (const char* key : {RUN_KEY, PRODUCT_REG_KEY}) {
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_SET_VALUE | view, &handle) != ERROR_SUCCESS) continue;
        RegDeleteValueA(handle, key == RUN_KEY ? RUN_VALUE_NAME : "ProductVersion");
        RegCloseKey(handle);
      }
    }
  }
  void add_package_row(REGSAM view, const char* key, const char* name, const char* version, DWORD size) {
    set_sz(HKEY_LOCAL_MACHINE, key, "DisplayName", name, view);
    set_sz(HKEY_LOCAL_MACHINE, key, "DisplayVersion", version, view);
    set_dword(HKEY_LOCAL_MACHINE, key, "EstimatedSize", size, view);
  }
  scratch_dir install{"corvane-registration-install"};
  install_state state = {};
};

TEST_F(Registration, AppPathsAndTheLegacyRunValueOfThe64BitViewOnly) {
  set_sz(HKEY_LOCAL_MACHINE, RUN_KEY, RUN_VALUE_NAME, "old.exe", V64);
  set_sz(HKEY_LOCAL_MACHINE, RUN_KEY, RUN_VALUE_NAME, "old32.exe", V32);
  captured_log log;
  write_app_paths(&state);
  EXPECT_TRUE(log.has("[INFO] [Installer] Swept legacy HKLM Run\\Corvane autostart value"));
  EXPECT_TRUE(log.has("[INFO] [Installer] Wrote App Paths key"));
  EXPECT_EQ(text_of(V64, RUN_KEY, RUN_VALUE_NAME), "<absent>");
  EXPECT_EQ(text_of(V32, RUN_KEY, RUN_VALUE_NAME), "old32.exe");
  EXPECT_EQ(text_of(V64, APP_PATHS_KEY, nullptr), install.sub("Corvane.exe"));
  EXPECT_EQ(text_of(V64, APP_PATHS_KEY, "Path"), install.path());

  write_app_paths(&state);  // nothing left to sweep: no second line
  std::string text = log.text();
  EXPECT_EQ(text.find("Swept"), text.rfind("Swept"));
}

TEST_F(Registration, HidesPackageRowsInBothViewsAndMirrorsTheFirst) {
  add_package_row(V64, MSI_64, "Corvane", "2.1.7.0", 5120);
  add_package_row(V32, MSI_32, "corvane", "1.0.0.0", 99);  // older 32-bit leftover, lower case
  add_package_row(V64, OTHER_APP, "Corvane Helper", "9.9", 1);
  set_sz(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, "DisplayName", "Corvane", V64);  // ours, from an earlier install
  set_sz(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "ProductVersion", "2.0.1.0", V64);
  CloseHandle(CreateFileA(install.sub(LEGACY_UNINSTALLER_EXE).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                          nullptr));
  captured_log log;
  register_installed_product(&state);

  EXPECT_TRUE(log.has("[INFO] [Installer] Wrote uninstaller"));
  EXPECT_TRUE(log.has("[INFO] [Installer] Removed legacy CorvaneUninstaller.exe"));
  EXPECT_EQ(GetFileAttributesA(install.sub(LEGACY_UNINSTALLER_EXE).c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(log.has("Hid MSI uninstall entry {C0FFEE64-0000-4000-8000-000000000064} (64-bit view) via "
                      "SystemComponent=1"));
  EXPECT_TRUE(log.has("Hid MSI uninstall entry {C0FFEE32-0000-4000-8000-000000000032} (WoW6432Node view) via "
                      "SystemComponent=1"));
  EXPECT_TRUE(log.has("Hid 2 MSI uninstall entry/entries (productCode={C0FFEE64-0000-4000-8000-000000000064})"));
  EXPECT_TRUE(log.has("Using MSI DisplayVersion=2.1.7.0 for our entry"));
  EXPECT_EQ(dword_of(V64, MSI_64, "SystemComponent"), 1);
  EXPECT_EQ(dword_of(V32, MSI_32, "SystemComponent"), 1);
  EXPECT_EQ(dword_of(V64, OTHER_APP, "SystemComponent"), -1);
  EXPECT_EQ(dword_of(V64, OWN_UNINSTALL_KEY, "SystemComponent"), -1);

  EXPECT_EQ(text_of(V64, OWN_UNINSTALL_KEY, "DisplayVersion"), "2.1.7.0");
  EXPECT_EQ(text_of(V64, OWN_UNINSTALL_KEY, "MsiProductCode"), "{C0FFEE64-0000-4000-8000-000000000064}");
  EXPECT_EQ(dword_of(V64, OWN_UNINSTALL_KEY, "EstimatedSize"), 5120);
  EXPECT_EQ(text_of(V64, OWN_UNINSTALL_KEY, "UninstallString"), "\"" + install.sub(UNINSTALLER_EXE) + "\"");
  EXPECT_EQ(text_of(V64, OWN_UNINSTALL_KEY, "HelpLink"), VENDOR_HELP_LINK);
  EXPECT_EQ(dword_of(V64, OWN_UNINSTALL_KEY, "NoModify"), 1);
  EXPECT_EQ(text_of(V32, OWN_UNINSTALL_KEY, "DisplayName"), "<absent>") << "our entry lives in the 64-bit view";
  // The running program itself, read from its held image.
  EXPECT_EQ(test_support::read_file(install.sub(UNINSTALLER_EXE)), test_support::read_file(test_support::self_path()));
}

TEST_F(Registration, WithoutTheUninstallerCopyNothingIsRegistered) {
  add_package_row(V64, MSI_64, "Corvane", "2.1.7.0", 5120);
  CreateDirectoryA(install.sub(UNINSTALLER_EXE).c_str(), nullptr);  // a folder holds the name
  captured_log log;
  register_installed_product(&state);
  EXPECT_TRUE(log.has("[ERROR] [Installer] Failed to copy uninstaller (err=5)"));
  EXPECT_EQ(text_of(V64, OWN_UNINSTALL_KEY, "DisplayName"), "<absent>");
  EXPECT_EQ(dword_of(V64, MSI_64, "SystemComponent"), -1) << "the package's row stays the visible one";
}

TEST_F(Registration, VersionFallsBackToClientInEitherViewThenToInstaller) {
  set_sz(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, "ProductVersion", "2.0.1.0", V32);
  {
    captured_log log;
    register_installed_product(&state);
    EXPECT_TRUE(log.has("[WARN] [Installer] No MSI Corvane uninstall entry found — Add/Remove Programs may not yet "
                        "have a duplicate row, but we also have no MSI version to mirror"));
    EXPECT_TRUE(log.has("[INFO] [Installer] Using client ProductVersion=2.0.1.0 for DisplayVersion"));
  }
  EXPECT_EQ(text_of(V64, OWN_UNINSTALL_KEY, "DisplayVersion"), "2.0.1.0");
  wipe();
  captured_log log;
  register_installed_product(&state);
  EXPECT_TRUE(log.has("[WARN] [Installer] No MSI or client version found — falling back to "
                      "INSTALLER_VERSION=2.0.266.0"));
  EXPECT_EQ(text_of(V64, OWN_UNINSTALL_KEY, "DisplayVersion"), "2.0.266.0");
  EXPECT_EQ(text_of(V64, OWN_UNINSTALL_KEY, "MsiProductCode"), "<absent>");
  EXPECT_EQ(dword_of(V64, OWN_UNINSTALL_KEY, "EstimatedSize"), -1);
}

}  // namespace
