// Every constant of the product in one place: the installed product's names, keys and
// contracts, the vendor's domains and this build's version (build_config.h, generated from
// the CMake cache), and the lists of everything the product puts on a machine.
#pragma once

#include <cstddef>

#include "build_config.h"

#define PRODUCT_DISPLAY_NAME "Corvane"
#define PRODUCT_PUBLISHER "Corvane Labs"
#define PRODUCT_INSTALL_SUBDIR "Corvane Labs\\Corvane"
#define PRODUCT_REG_KEY "Software\\CorvaneLabs\\Corvane"
#define PRODUCT_ONBOARDING_KEY PRODUCT_REG_KEY "\\Onboarding"
#define PRODUCT_TELEMETRY_KEY PRODUCT_REG_KEY "\\Telemetry"
#define VENDOR_TELEMETRY_KEY "Software\\CorvaneLabs\\Telemetry"  // the machine-wide internal flag
#define PRODUCT_APP_EXE "Corvane.exe"
#define PRODUCT_SERVICE_NAME "Corvane.Service"
#define PRODUCT_SERVICE_EXE "Corvane.Service.exe"
#define PRODUCT_DRIVER_SERVICE "corvanedrv"
#define UNINSTALLER_EXE "CorvaneUninstall.exe"
#define LEGACY_UNINSTALLER_EXE "CorvaneUninstaller.exe"

// Machine keys the product is known to Windows by (HKLM, 64-bit view unless said otherwise).
#define UNINSTALL_ROOT_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall"
#define OWN_UNINSTALL_KEY UNINSTALL_ROOT_KEY "\\Corvane"
#define OWN_UNINSTALL_SUBKEY "Corvane"
#define APP_PATHS_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Corvane.exe"
#define RUN_KEY "Software\\Microsoft\\Windows\\CurrentVersion\\Run"
#define RUN_VALUE_NAME "Corvane"

// Scheduled tasks the launch-at-sign-in setting changes: the two current ones, and the older
// ones they replace.
#define UI_CHECK_TASK "\\CorvaneLabs\\CorvaneUICheck"
#define SERVICE_CHECK_TASK "\\CorvaneLabs\\CorvaneServiceCheck"
#define LEGACY_SERVICE_CHECK_LOGON_TASK "\\CorvaneLabs\\CorvaneServiceCheckLogon"
#define LEGACY_SERVICE_CHECK_HOURLY_TASK "\\CorvaneLabs\\CorvaneServiceCheckHourly"
#define LEGACY_SERVICE_START_LOGON_TASK "\\CorvaneLabs\\CorvaneServiceStartLogon"

#define INSTALLER_MUTEX_NAME "CorvaneInstallerMutex"
#define UNINSTALLER_MUTEX_NAME "CorvaneUninstallerMutex"
#define UI_WINDOW_CLASS "CorvaneInstallerUI"
#define UI_READY_EVENT_NAME "CorvaneInstallerUIReady"

// Everything of the product that the probe looks for and the uninstaller removes. The
// probe and the removal read the same lists, so whatever is detected is also cleaned.
#define PRODUCT_EXTENSION_ID "kbmhgaeplfcjdmnoiakbpcfejhgdlmno"
#define CHROME_FORCELIST_KEY "Software\\Policies\\Google\\Chrome\\ExtensionInstallForcelist"
#define CHROME_POLICY_KEY "Software\\Policies\\Google\\Chrome"
#define GOOGLE_POLICY_KEY "Software\\Policies\\Google"

// A fixed list of names and its length.
struct name_list {
  const char* const* names;
  size_t count;
};

extern const name_list PRODUCT_SERVICES;        // "Corvane.Service", then the driver
extern const name_list PRODUCT_APPDATA_FOLDERS;  // under the common application data folder
extern const name_list PRODUCT_SHORTCUTS;        // on the common, then the user's desktop
extern const name_list PRODUCT_TASK_FILES;       // under <system folder>\Tasks, as the probe sees them
extern const name_list PRODUCT_TASK_NAMES;       // as schtasks takes them, in deletion order
extern const name_list HKLM_IDENTITY_VALUES;     // survive every purge of the HKLM product key
extern const name_list HKCU_IDENTITY_VALUES;     // survive every purge of the HKCU product key
