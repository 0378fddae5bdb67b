// Names and contracts of the installed product and the vendor's endpoints: constants of
// the build that every subsystem shares.
#pragma once

#include "build_config.h"

#define PRODUCT_DISPLAY_NAME "Corvane"
#define PRODUCT_PUBLISHER "Corvane Labs"
#define PRODUCT_INSTALL_SUBDIR "Corvane Labs\\Corvane"
#define PRODUCT_REG_KEY "Software\\CorvaneLabs\\Corvane"
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

#define INSTALLER_MUTEX_NAME "CorvaneInstallerMutex"
#define UNINSTALLER_MUTEX_NAME "CorvaneUninstallerMutex"
#define UI_WINDOW_CLASS "CorvaneInstallerUI"
#define UI_READY_EVENT_NAME "CorvaneInstallerUIReady"
