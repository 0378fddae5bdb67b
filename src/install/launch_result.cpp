#include "install/launch_result.h"

#include "base/bounded_text.h"

launch_family launch_family_of_file_error(uint32_t error) {
  if (error == 5) return LAUNCH_FAMILY_ACCESS_DENIED;             // ERROR_ACCESS_DENIED
  if (error == 2 || error == 3) return LAUNCH_FAMILY_EXECUTABLE_MISSING;  // file / path not found
  return LAUNCH_FAMILY_PROCESS_CREATION_FAILED;
}

launch_family launch_family_of_shell_code(long code) {
  switch (code) {
    case 5:  // SE_ERR_ACCESSDENIED
      return LAUNCH_FAMILY_ACCESS_DENIED;
    case 2:  // SE_ERR_FNF
    case 3:  // SE_ERR_PNF
      return LAUNCH_FAMILY_EXECUTABLE_MISSING;
    case 31:  // SE_ERR_NOASSOC
    case 32:  // SE_ERR_DLLNOTFOUND
      return LAUNCH_FAMILY_SHELL_UNAVAILABLE;
    default:
      return LAUNCH_FAMILY_PROCESS_CREATION_FAILED;
  }
}

const char* launch_outcome_word(int code) {
  if (code == LAUNCH_STARTED) return "launch_accepted";
  if (code == LAUNCH_ALREADY_RUNNING) return "already_running";
  return "launch_failed";
}

const char* launch_family_word(int family) {
  static const char* const WORDS[] = {"access_denied", "executable_missing", "shell_unavailable",
                                      "process_creation_failed", "timeout", "other"};
  return family >= 1 && family <= 6 ? WORDS[family - 1] : nullptr;
}

bool launch_arguments(const char* install_event_id, char* out, size_t size) {
  text_copy(out, size, "--run_source=installer");
  if (!install_event_id || !install_event_id[0]) return true;
  // The id is our own, but it reaches a command line: anything that could split or
  // quote it there is refused rather than passed on.
  for (const char* p = install_event_id; *p; ++p)
    if (*p == '"' || *p == ' ' || static_cast<unsigned char>(*p) < 0x20) return false;
  text_format(out, size, "--run_source=installer --install_event_id=%.255s", install_event_id);
  return true;
}

bool launch_command_line(const char* exe, const char* arguments, char* out, size_t size) {
  if (arguments && arguments[0]) return text_format(out, size, "\"%s\" %s", exe, arguments);
  return text_format(out, size, "\"%s\"", exe);
}

const char* integrity_level_word(uint32_t rid) {
  if (rid >= 0x4000) return "system";
  if (rid >= 0x3000) return "high";
  if (rid >= 0x2000) return "medium";
  if (rid >= 0x1000) return "low";
  if (rid >= 1) return "untrusted";
  return "unknown";
}
