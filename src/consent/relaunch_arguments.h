// The switch strings the consent screens hand the elevated copy of the program, and the
// parameters of that relaunch (pure). A command line is never used cut: each builder says
// whether the whole text fit.
#pragma once

#include <cstddef>

// The choices the WebView2 consent screen collects; defaults: HTTPS filtering and usage data on.
struct consent_choices {
  int dry_run = 0;
  int uninstall_existing = 0;
  int decrypt_https = 1;
  int usage_data = 1;
};

// Room for the longest switch string either screen builds.
constexpr size_t RELAUNCH_ARGUMENTS_SIZE = 96;

// "/SKIPWELCOME /DRYRUN=0|1 /UNINSTALLFIRST=0|1 /DECRYPTHTTPS=0|1 /USAGEDATA=0|1": every choice
// explicit, so that it wins over a switch of the same name among the first process's own
// arguments, which come before it (app/switches.h). /UNINSTALLFIRST=1 only when existing_found
// (the existing-install probe saw the product: has_c or has_msi). Both consent screens build
// theirs here. 0, or -1 with out emptied when it does not fit.
int relaunch_arguments(const consent_choices& choices, int existing_found, char* out, size_t size);

// The process's own arguments within its full command line: after the program name (a quoted
// name up to its closing quote, else up to the first blank) and the blanks that follow it.
const char* command_line_arguments(const char* command_line);

// Parameters of the elevated relaunch: the own arguments, one blank, the switch string; no
// blank when either part is empty. 0, or -1 with out emptied when it does not fit.
int elevation_parameters(const char* own_args, const char* relaunch, char* out, size_t size);
