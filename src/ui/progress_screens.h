// The install and uninstall progress screens: their log, their worker and the window's
// configuration. They open in a window of their own after the elevated relaunch, or in the
// consent screen's window when that process is already elevated (the in-process continuation).
#pragma once

#include "state/install_state.h"
#include "ui/ui_host.h"

// Opens the UI log "<stem>-YYYYMMDD.log" with its component ("InstallerUI", "UninstallerUI").
void ui_open_log(const char* stem, const char* component);

// Sets up the screen's flags for state, starts its worker (which first settles the record with
// settle, when given, then waits for the page's begin) and fills the window's configuration
// (kept in this module for the window's life): the page of the bundle, fixed size, close guard
// on. 0, or -1 when the worker could not start (logged; settle has run).
int ui_install_screen_start(install_state* state, void (*settle)(install_state*));
int ui_uninstall_screen_start(install_state* state);
const ui_host_config* ui_progress_screen_config();

// The in-process continuation: the screen's UI log, the start above, and the living window
// switched to the screen. 0 when the window now shows it (its end step runs after the window
// has closed: ui_install_finish, uninstall_ui_end); -1 when it could not, with the worker
// stopped and the flags forgotten.
int ui_install_run_inproc(install_state* state, const char* extraction_folder);
int ui_uninstall_run_inproc(install_state* state, const char* extraction_folder);
