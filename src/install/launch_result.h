// What a launch of the installed app came to, in the words telemetry reports, and the
// plain-value pieces of the launch (arguments, command line, integrity words).
#pragma once

#include <cstddef>
#include <cstdint>

enum launch_code { LAUNCH_STARTED = 0, LAUNCH_ALREADY_RUNNING = 1, LAUNCH_FAILED = 2 };

enum launch_family {
  LAUNCH_FAMILY_NONE = 0,
  LAUNCH_FAMILY_ACCESS_DENIED = 1,
  LAUNCH_FAMILY_EXECUTABLE_MISSING = 2,
  LAUNCH_FAMILY_SHELL_UNAVAILABLE = 3,
  LAUNCH_FAMILY_PROCESS_CREATION_FAILED = 4,
  LAUNCH_FAMILY_TIMEOUT = 5,
  LAUNCH_FAMILY_OTHER = 6,
};

// family is LAUNCH_FAMILY_NONE unless code is LAUNCH_FAILED.
struct launch_result {
  int code;
  int family;
};

// Focus-check codes carried into the "Launching" log line.
constexpr int FOCUS_NOT_RUNNING = 603;
constexpr int FOCUS_NO_SNAPSHOT = 611;

// Family of a Windows error met on the executable itself (its attributes).
launch_family launch_family_of_file_error(uint32_t error);
// Family of a ShellExecute result of 32 or below.
launch_family launch_family_of_shell_code(long code);

// "launch_accepted", "already_running" or "launch_failed" (also for unknown codes).
const char* launch_outcome_word(int code);
// The family's word, or null for LAUNCH_FAMILY_NONE and values outside 1-6.
const char* launch_family_word(int family);

// "--run_source=installer", with " --install_event_id=<id>" when the id is non-empty.
// Returns true, or false when the id would break the command line (quote, space or control
// character) and was left out.
bool launch_arguments(const char* install_event_id, char* out, size_t size);

// "\"<exe>\" <arguments>", or "\"<exe>\"" without arguments; true, or false when cut.
bool launch_command_line(const char* exe, const char* arguments, char* out, size_t size);

// "system", "high", "medium", "low", "untrusted" or "unknown" for an integrity RID.
const char* integrity_level_word(uint32_t rid);
