// Starting the installed desktop app after an install, in the signed-in user's unelevated
// context rather than the installer's elevated one, or focusing it when it already runs.
#pragma once

#include "install/launch_result.h"
#include "state/install_state.h"

// Focuses a running Corvane.exe, or starts it with the install's event id. Called on the
// main thread or on a thread that has initialised COM apartment-threaded.
launch_result launch_installed_app(const install_state* state);

// The de-elevation chain: the desktop user's token, then the desktop shell's ShellExecute
// (typed, then late-bound). 0 when one of them started the program; -1 when all failed
// (nothing was started: never elevated).
int shell_exec_as_user(const char* exe, const char* arguments, const char* directory);
