// The command lines the install starts (pure): msiexec, and the staged uninstaller that
// removes an existing installation first.
#pragma once

#include <cstddef>

// "msiexec.exe /i "<msi>" /qn /norestart LAUNCHAPP=0 CORVANE_DECRYPT_HTTPS=<0|1> /l*v "<temp>CorvaneMSILog.log"";
// returns 0, or -1 when it does not fit in 1024 characters (a cut path would install the wrong file).
int msi_install_command(const char* msi_path, int decrypt_https, const char* temp_dir, char* out, size_t size);

// "\"<staged>\" /S /UNINSTALLBEFOREINSTALL /USAGEDATA=0|1"; 0, or -1 when it does not fit.
int preinstall_uninstaller_command(const char* staged_path, int analytics_enabled, char* out, size_t size);
