// The install page's commands (index.html) and the end of the install screen. They meet the
// install worker and the launch thread in ui_install_flags (install/install_ui_worker.h).
#pragma once

#include <cstdint>

#include "state/install_state.h"

// The install page's command handler, on the UI thread, for every invoke of that page.
void ui_installer_command(const char* json);

// get_install_state: discovers the browsers and answers with the install-state object ({} when
// the screen has no state, or when the object is too large to send); from a thread of its own
// when the record is not settled yet (ui_install_record_settled).
void ui_install_state_json(int32_t id);

// The page's onboarding answers; each writes nothing in a dry run (no state, or dry_run set).
void ui_save_onboarding_browsers(const char* json, int32_t id);
void ui_save_onboarding_filters(const char* json, int32_t id);
void ui_save_onboarding_https(const char* json, int32_t id);
void ui_save_https_decryption_consent(const char* json, int32_t id);

// launch_app: starts the app as the desktop user on a thread of its own (once); in a dry run
// nothing is launched.
void ui_launch_app(const char* json, int32_t id);
// Records what the launcher came to, unless the end has stopped waiting for it.
void ui_record_launch_result(int code, int family);
// Waits for the launch thread up to timeout_ms; a launch still running then is abandoned and
// reported failed with the time-out family. Forgets the thread.
void ui_launch_join(uint32_t timeout_ms);

// On the main thread after the install screen's window has closed: stops and joins the worker,
// launches the app when a successful install was left without it (unless the person confirmed
// leaving without it), waits for the launch, sends the close event and forgets the state.
void ui_install_finish(install_state* state);

// True when the install screen's commands must not change the machine.
bool ui_install_dry_run();
