// Command-line switches. Pure: the switch text is searched as one string (there is no
// tokeniser), unknown switches are ignored. The strings the program hands its own copies are
// built beside their users: consent/relaunch_arguments.h, install/command_lines.h.
#pragma once

#include <cstddef>

#include "product/switch_names.h"

// True for "--silent" anywhere, or a "/S" / "/s" token bounded by start/blank and end/blank.
bool is_silent(const char* args);

// The last well-formed "/USAGEDATA=0|1" (any letter case, optionally quoted): 0 or 1; -1 when absent.
int usage_data_switch(const char* args);

// Substring switches, matched in exact letter case.
bool switch_present(const char* args, const char* switch_text);
inline bool has_skip_welcome(const char* args) { return switch_present(args, SWITCH_SKIP_WELCOME); }
inline bool has_uninstall_before_install(const char* args) {
  return switch_present(args, SWITCH_UNINSTALL_BEFORE_INSTALL);
}

// The run's choices. The elevated relaunch writes each one as an explicit value after the first
// process's own arguments, and the last explicit value wins: nothing the first process was
// given (a switch of the same name, even inside another word) overrides what the person chose
// on its screen. An explicit value is "<name>=0|1" in exact letter case, bounded and optionally
// quoted like "/USAGEDATA=". Without one, the forms deployment tools use: "/DRYRUN" and
// "/UNINSTALLFIRST" anywhere, "/DECRYPTHTTPS=0" anywhere.
bool dry_run_choice(const char* args);
bool decrypt_https_choice(const char* args);
// 0 or 1 as given; -1 when not given (the tag and the default decide).
int uninstall_first_switch(const char* args);
