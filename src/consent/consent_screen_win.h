// The WebView2 consent screen's state and its page's commands (consent.html). One screen per
// process; everything here runs on the main thread, inside the host window's message loop, but
// the session data's commit and the welcome event, which run beside it once the window shows.
#pragma once

#include <windows.h>

#include "consent/consent.h"
#include "consent/relaunch_arguments.h"
#include "product/exit_codes.h"
#include "state/install_state.h"

struct consent_screen_state {
  install_state* state;  // the caller's record while the screen runs
  char folder[MAX_PATH];   // the extraction folder
  // failed while open and after a failed or closed hand-off; goes_on_here once the install or
  // uninstall goes on in this window; consent_result_for's once an elevated copy was started.
  consent_result result;
  int is_uninstall;
  consent_choices choices;  // usage_data is the page's analytics_enabled
  existing_install_probe existing;
  char elevation_args[RELAUNCH_ARGUMENTS_SIZE];
  const char* host_prefix;
  char host_domain[32];
  int elevating;  // a consent_elevate is under way: another one is ignored, not run twice
};
extern consent_screen_state g_consent;

// Fills the state for the caller's record and dry-run choice: the probe of what is installed,
// the choices' defaults, the switch string, the host prefix and domain. result becomes failed.
void consent_screen_begin(install_state* state, int dry_run);

// Returns once the session data is committed and the welcome event sent, which begin once the
// window shows; the window keeps answering meanwhile. At once when the window never showed.
// false when the host window closed while it waited.
bool consent_welcome_sent();

// The on_message callback of the consent page: its invokes run through the command table.
void consent_on_message(const char* json, void* context);

// consent_elevate: waits for consent_welcome_sent (nothing more when the window closed
// meanwhile), takes the choices, sends the click and goes on elevated: in this window when the
// process already is, else through an elevated copy. Answered once, and only when its
// outcome is known: ok once the copy runs, cancelled when the UAC prompt was declined (the
// screen stays), an error with its code; no answer when the install goes on in this window,
// whose next page must not receive it.
void consent_elevate(const char* json, int32_t id);
