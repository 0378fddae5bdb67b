// What became of one run of a program. started false: nothing ran, and windows_error says why.
// started with windows_error set: the wait ended first (ERROR_TIMEOUT) or failed, so there is
// no exit code yet. Otherwise the run ended with exit_code.
#pragma once

struct process_result {
  bool started;
  unsigned long exit_code;      // a DWORD
  unsigned long windows_error;  // a DWORD
  bool ended() const { return started && windows_error == 0; }
  // The exit code as the logs and events show it: -1 for a run that never started or ended.
  int shown_code() const { return ended() ? static_cast<int>(exit_code) : -1; }
};
inline process_result process_not_started(unsigned long windows_error) { return {false, 0, windows_error}; }
