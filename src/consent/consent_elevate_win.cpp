// consent_elevate: the consent page's button.
#include "base/bounded_text.h"
#include "base/json_field.h"
#include "base/log.h"
#include "consent/consent_info.h"
#include "consent/consent_screen_win.h"
#include "consent/consent_texts.h"
#include "consent/elevation_win.h"
#include "consent/handoff_win.h"
#include "product/ui_post.h"
#include "state/onboarding_values.h"
#include "state/paths.h"
#include "telemetry/tracking.h"
#include "ui/host_window_win.h"
#include "ui/progress_screens.h"

namespace {

constexpr size_t CLICK_EXTRAS_SIZE = 256;

bool existing_found() { return existing_install_found(g_consent.existing); }

void rebuild_arguments() {
  relaunch_arguments(g_consent.choices, existing_found(), g_consent.elevation_args, sizeof g_consent.elevation_args);
}

// A missing key keeps the current choice.
void take_choices(const char* json) {
  int value = json_get_tristate(json, "uninstall_existing");
  if (value != -1) {
    g_consent.choices.uninstall_existing = value;
    rebuild_arguments();
    log_info("consent_webview: uninstall_existing=%d (has_c=%d has_msi=%d, elevate_args=%s)", value,
             g_consent.existing.has_c, g_consent.existing.has_msi, g_consent.elevation_args);
  }
  value = json_get_tristate(json, "decrypt_https");
  if (value != -1) {
    g_consent.choices.decrypt_https = value;
    rebuild_arguments();
    log_info("consent_webview: decrypt_https=%d (elevate_args=%s)", value, g_consent.elevation_args);
  }
  value = json_get_tristate(json, "analytics_enabled");
  if (value != -1) {
    g_consent.choices.usage_data = value;
    // The record decides whether page and click events are built: from now on it holds the
    // person's answer, on this screen's click and on whatever this process sends after it.
    if (g_consent.state) g_consent.state->analytics_enabled = value;
    rebuild_arguments();
    log_info("consent_webview: analytics_enabled=%d (elevate_args=%s)", value, g_consent.elevation_args);
  }
}

void send_click(int elevated) {
  if (!g_consent.state) return;
  consent_click_choices click = {g_consent.choices.decrypt_https, g_consent.choices.uninstall_existing,
                                 g_consent.is_uninstall, elevated, g_consent.choices.usage_data};
  char extras[CLICK_EXTRAS_SIZE];
  consent_click_extras(click, 0, extras, sizeof extras);
  tracking_send_click(g_consent.state, g_consent.is_uninstall ? EVENT_UNINSTALLER_CLICK : EVENT_INSTALLER_CLICK,
                      extras);
}

// 0 when the install or uninstall now goes on in this window.
int continue_in_process() {
  install_state* state = g_consent.state;
  if (!state) return -1;
  log_info("consent_webview: already elevated%s — handing off to in-process %s in same window",
           g_consent.is_uninstall ? " (standalone uninstall)" : "", g_consent.is_uninstall ? "uninstall" : "install");
  state->decrypt_https = g_consent.choices.decrypt_https;
  state->analytics_enabled = g_consent.choices.usage_data;
  state->uninstall_first = g_consent.choices.uninstall_existing;
  state->dry_run = g_consent.choices.dry_run;
  state->existing = g_consent.existing;
  return g_consent.is_uninstall ? ui_uninstall_run_inproc(state, g_consent.folder)
                                : ui_install_run_inproc(state, g_consent.folder);
}

struct answer {
  int32_t id;
};

void answer_ok(void* context) { ui_send_response(static_cast<answer*>(context)->id, "{\"status\":\"ok\"}"); }

void declined(int32_t id) {
  log_info("consent_webview: user declined UAC prompt");
  const consent_texts& texts = consent_texts_for(g_consent.is_uninstall);
  ui_host_message_box(ui_host_window(), texts.declined, texts.caption, MB_ICONINFORMATION);
  ui_send_response(id, "{\"status\":\"cancelled\"}");
}

void elevate_copy(int32_t id, consent_handoff target) {
  answer context = {id};
  handoff_request request = {"consent_webview", target, g_consent.elevation_args, ui_host_window(), answer_ok, &context};
  handoff_outcome outcome = elevated_handoff(request);
  if (outcome.error == ERROR_CANCELLED) {
    declined(id);
    return;
  }
  if (outcome.error != ERROR_SUCCESS) {
    char error[48];
    text_format(error, sizeof error, "{\"status\":\"error\",\"error\":%lu}", outcome.error);
    ui_send_response(id, error);
    log_error("consent_webview: elevation error %lu", outcome.error);
    g_consent.result = consent_result::failed;
  } else if (outcome.wait.outcome == elevated_ui_outcome::ready) {
    log_info("consent_webview: elevated UI ready, closing");
    g_consent.result = consent_result::done;
  } else {
    report_handoff_failure(g_consent.state, g_consent.is_uninstall, outcome.wait, 0);
    g_consent.result = consent_result_for(outcome.wait.outcome);
  }
  ui_post_close();
}

}  // namespace

void consent_elevate(const char* json, int32_t id) {
  // The host keeps dispatching the page's messages while the person answers the UAC prompt
  // and while the elevated copy starts: a second click must not start a second copy.
  if (g_consent.elevating) {
    log_warn("consent_webview: consent_elevate ignored: an elevation is already under way");
    return;
  }
  g_consent.elevating = 1;
  // The click event carries the session data, and the elevated copy reads what its commit
  // writes; the person may click before the request has answered.
  if (!consent_welcome_sent()) {  // the window closed meanwhile: nothing to go on with
    g_consent.elevating = 0;
    return;
  }
  take_choices(json);
  int elevated = token_is_admin();
  send_click(elevated);
  if (!g_consent.is_uninstall) record_send_usage_data(g_consent.choices.usage_data);
  int in_install_dir = running_from_install_dir();
  consent_handoff target = consent_handoff_for(g_consent.is_uninstall, elevated, in_install_dir, 1);
  if (target == consent_handoff::in_process) {
    if (continue_in_process() == 0) {
      g_consent.result = consent_result::goes_on_here;  // the page is gone: nothing to answer
      g_consent.elevating = 0;
      return;
    }
    log_warn("consent_webview: in-proc handoff failed (rc=%d), falling back to spawned elevated child", -1);
    target = consent_handoff::in_place;
  }
  log_info("consent_webview: requesting elevation (already_elevated=%d in_install_dir=%d)", elevated, in_install_dir);
  elevate_copy(id, target);
  g_consent.elevating = 0;
}
