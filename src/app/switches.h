// Command-line switches and the relaunch argument strings. Pure: the switch text is
// searched as one string (there is no tokeniser), unknown switches are ignored.
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

// The choices the WebView2 consent screen collects; defaults: HTTPS filtering and usage data on.
struct consent_choices {
  int dry_run = 0;
  int uninstall_existing = 0;
  int decrypt_https = 1;
  int usage_data = 1;
};

// "/SKIPWELCOME[ /DRYRUN][ /UNINSTALLFIRST][ /DECRYPTHTTPS=0] /USAGEDATA=0|1".
// existing_found: the existing-install probe saw the product (has_c or has_msi).
void relaunch_arguments(const consent_choices& choices, int existing_found, char* out, size_t size);

// The native consent window's string: never carries /DECRYPTHTTPS=0; /UNINSTALLFIRST when an
// installation exists and the tag does not say no (tag preference is -1, 0 or 1).
void native_relaunch_arguments(const char* dry_suffix, int existing_found, int tag_preference,
                               int analytics_enabled, char* out, size_t size);

// Parameters of the elevated relaunch: the process's own arguments, a blank, the relaunch string.
void elevation_parameters(const char* own_args, const char* relaunch, char* out, size_t size);

// Command line of the staged pre-install uninstaller.
void preinstall_uninstaller_command(const char* staged_path, int analytics_enabled, char* out, size_t size);

// The "uninstall_first" preference of decoded tag data: 1 ("1"/"true"), 0 ("0"/"false"), else -1.
int uninstall_first_preference(const char* decoded_tag);
