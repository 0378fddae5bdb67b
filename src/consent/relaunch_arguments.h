// The switch strings the consent screens hand the elevated copy of the program (pure).
#pragma once

#include <cstddef>

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
