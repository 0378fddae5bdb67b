#include "app/run_mode.h"

#include <cstdlib>
#include <cstring>

os_gate_result os_gate(const char* architecture, const char* build) {
  if (!architecture || (strcmp(architecture, "x64") != 0 && strcmp(architecture, "ARM64") != 0))
    return OS_UNSUPPORTED_32BIT;
  unsigned long number = (build && *build) ? strtoul(build, nullptr, 10) : 0;
  return number <= 17762 ? OS_UNSUPPORTED_VERSION : OS_SUPPORTED;
}

const char* os_gate_dialog_text(os_gate_result r) {
  return r == OS_UNSUPPORTED_32BIT ? "32-bit version of Windows is not supported"
                                   : "This version of Windows is not supported";
}

const char* os_gate_run_message(os_gate_result r) {
  return r == OS_UNSUPPORTED_32BIT ? "Installer launched — Unsupported OS (32-bit)"
                                   : "Installer launched — Unsupported OS (version)";
}

const char* os_gate_close_message(os_gate_result r) {
  return r == OS_UNSUPPORTED_32BIT ? "Unsupported OS (32-bit)" : "Unsupported OS (version)";
}

bool analytics_choice(int persisted, int explicit_choice) {
  if (explicit_choice == 0 || explicit_choice == 1) return explicit_choice;
  return persisted == 0 ? 0 : 1;
}

bool uninstall_first_choice(int existing_found, int switch_value, int tag_preference) {
  if (!existing_found) return false;
  if (switch_value == 0 || switch_value == 1) return switch_value;
  if (tag_preference == 0 || tag_preference == 1) return tag_preference;
  return true;
}

bool purge_host_prefix_needed(int silent, int skip_welcome, int exit_code, int install_completed, int elevated) {
  return (silent || skip_welcome || exit_code != 0) && !install_completed && elevated;
}
