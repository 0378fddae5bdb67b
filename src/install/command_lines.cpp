#include "install/command_lines.h"

#include "base/bounded_text.h"
#include "product/switch_names.h"

int msi_install_command(const char* msi_path, int decrypt_https, const char* temp_dir, char* out, size_t size) {
  size_t limit = size < 1025 ? size : 1025;
  int whole = text_format(out, limit,
                          "msiexec.exe /i \"%s\" /qn /norestart LAUNCHAPP=0 CORVANE_DECRYPT_HTTPS=%d /l*v \"%sCorvaneMSILog.log\"",
                          msi_path ? msi_path : "", decrypt_https ? 1 : 0, temp_dir ? temp_dir : "");
  return whole ? 0 : -1;
}

int preinstall_uninstaller_command(const char* staged_path, int analytics_enabled, char* out, size_t size) {
  return text_format(out, size, "\"%s\" /S %s %s=%d", staged_path ? staged_path : "", SWITCH_UNINSTALL_BEFORE_INSTALL,
                     SWITCH_USAGE_DATA, analytics_enabled ? 1 : 0)
             ? 0
             : -1;
}
