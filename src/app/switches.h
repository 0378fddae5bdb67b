// Command-line switches. Pure: the switch text is searched as one string (there is no
// tokeniser), unknown switches are ignored. The strings the program hands its own copies are
// built beside their users: consent/relaunch_arguments.h, install/command_lines.h.
#pragma once

#include <cstddef>

// 1 for "--silent" anywhere, or a "/S" / "/s" token bounded by start/blank and end/blank.
int is_silent(const char* args);

// The last well-formed "/USAGEDATA=0|1" (any letter case, optionally quoted): 0 or 1; -1 when absent.
int usage_data_switch(const char* args);

// Substring switches, matched in exact letter case.
int switch_present(const char* args, const char* switch_text);
inline int has_skip_welcome(const char* args) { return switch_present(args, "/SKIPWELCOME"); }
inline int has_dry_run(const char* args) { return switch_present(args, "/DRYRUN"); }
inline int has_uninstall_first(const char* args) { return switch_present(args, "/UNINSTALLFIRST"); }
inline int has_uninstall_before_install(const char* args) { return switch_present(args, "/UNINSTALLBEFOREINSTALL"); }
inline int has_decrypt_https_off(const char* args) { return switch_present(args, "/DECRYPTHTTPS=0"); }

// " /DRYRUN" when the switch is present, else "": handed to both consent flows.
const char* dry_run_suffix(const char* args);
