// The program's spine: start-up, run-mode choice and the run's end.
#pragma once

struct install_state;

// Runs the program on its command line (without the program name); returns the exit code.
int corvane_main(const char* args);

// A run from start to end: COM, the proxy's user and telemetry taken on at its start, let go at
// its end in the one order that works, as far as the run went. The end commits the record's
// attribution before telemetry stops: the commit joins the thread that sends the run event.
struct run_scope {
  run_scope();
  ~run_scope();
  run_scope(const run_scope&) = delete;
  run_scope& operator=(const run_scope&) = delete;

  bool stepped_aside = false;       // another copy holds the lock and what goes with it
  install_state* record = nullptr;  // whose attribution the end commits
  struct { bool purges = false, silent = false, skip_welcome = false; } installer;
  int exit_code = 0;
};

// The modes; each returns its exit code.
int run_installer(const char* args, run_scope& run);
int run_uninstaller(const char* args, run_scope& run);
