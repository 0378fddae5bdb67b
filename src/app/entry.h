// The program's spine: start-up, run-mode choice and the common end.
#pragma once

// Runs the program on its command line (without the program name); returns the exit code.
int corvane_main(const char* args);

// The modes; each returns its exit code after its own shut-down steps.
int run_installer(const char* args);
int run_uninstaller(const char* args);

// The common end of both modes: commit attribution, purge (installer only), flush telemetry,
// release the lock, uninitialise COM.
struct install_state;
int common_end(install_state* state, int exit_code, int installer_mode, int silent, int skip_welcome);
