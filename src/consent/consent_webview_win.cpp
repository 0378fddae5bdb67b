// The WebView2 consent screen: its resources, its window and consent.html's commands.
#include <cstring>

#include "base/bounded_text.h"
#include "base/folders_win.h"
#include "base/handle_win.h"
#include "base/json_field.h"
#include "base/log.h"
#include "base/path_text.h"
#include "product/ui_post.h"
#include "consent/consent.h"
#include "consent/consent_info.h"
#include "consent/consent_screen_win.h"
#include "consent/consent_texts.h"
#include "consent/elevation_win.h"
#include "state/attribution.h"
#include "state/install_state_rules.h"
#include "state/motw.h"
#include "state/tag_block.h"
#include "telemetry/tracking.h"
#include "ui/commands/installer_commands.h"
#include "ui/host_window_win.h"
#include "ui/page_contract.h"
#include "ui/page_message.h"
#include "ui/progress_screens.h"
#include "ui/ui_bridge.h"
#include "ui/ui_host.h"
#include "ui/webview_loader.h"
#include "uninstall/existing_install.h"
#include "uninstall/temp_uninstaller.h"
#include "uninstall/uninstall_ui.h"

consent_screen_state g_consent;

namespace {

constexpr size_t ACTION_SIZE = 16;

void answer_consent_info(int32_t id) {
  consent_info_values values = {};
  values.dry_run = g_consent.choices.dry_run;
  values.host_prefix = g_consent.host_prefix;
  values.host_domain = g_consent.host_domain;
  values.is_uninstall = g_consent.is_uninstall;
  values.is_elevated = token_is_admin();
  values.analytics_enabled = g_consent.choices.usage_data;
  values.has_existing_install = existing_install_found(g_consent.existing);
  values.has_c_installer = g_consent.existing.has_c;
  values.existing_version = g_consent.existing.existing_version;
  values.uninstall_existing = g_consent.choices.uninstall_existing;
  values.nothing_to_uninstall = g_consent.is_uninstall && !g_consent.existing.any;
  char object[CONSENT_INFO_SIZE];
  if (consent_info_json(values, object, sizeof object) != 0) text_copy(object, "{}");
  ui_send_response(id, object);
}

void get_consent_info(const char*, int32_t id) { answer_consent_info(id); }

void toggle_dry_run(const char*, int32_t id) {
  log_warn("consent_webview: toggle_dry_run ignored (not a dev build)");
  answer_consent_info(id);
}

void signal_user_action(const char* json, int32_t id) {
  char action[ACTION_SIZE];
  json_get_string(json, "action", action, sizeof action);
  ui_send_null_response(id);
  if (strcmp(action, "cancel") == 0) ui_post_close();
}

constexpr ui_command COMMANDS[] = {
    {page_command("consent_elevate"), consent_elevate, 1},
    {page_command("get_consent_info"), get_consent_info, 1},
    {page_command("toggle_dry_run"), toggle_dry_run, 1},
    {page_command("open_url"), ui_open_url, 0},
    {page_command("signal_user_action"), signal_user_action, 1},
    {page_command("exit_sibling"), ui_exit_sibling, 1},
    {page_command("log_from_js"), ui_log_from_page, 0},
    {page_command("show_window"), ui_no_action, 0},
    {page_command("sibling_show_complete"), ui_no_action, 0},
};
static_assert(page_table_matches(COMMANDS, PAGE_CONSENT));

void log_probe(const existing_install_probe& e, int tag_preference) {
  if (g_consent.is_uninstall) {
    log_info("consent_webview (uninstall): remnant probe any=%d c_inst=%d msi=%d hive=%d dir=%d pdata=%d run=%d "
             "apppaths=%d svc=%d task=%d shortcut=%d",
             e.any, e.has_c, e.has_msi, e.hive, e.dir, e.pdata, e.run, e.apppaths, e.svc, e.task, e.shortcut);
  } else if (existing_install_found(e)) {
    log_info("consent_webview: existing install detected (has_c=%d has_msi=%d product=%s version=%s tag_pref=%d "
             "default_checked=%d)",
             e.has_c, e.has_msi, e.product_code[0] ? e.product_code : "(none)",
             e.existing_version[0] ? e.existing_version : "(unknown)", tag_preference,
             g_consent.choices.uninstall_existing);
  }
}

// The session data's commit waits for its request, which on a slow network may take all of its
// time-outs, and the welcome event carries what the request brings: both come once the window
// shows, on a thread of their own, so that the person never waits for the network to see it.
kernel_handle g_welcome;

DWORD WINAPI commit_and_send_welcome(void*) {
  commit_attribution_to_registry(g_consent.state);
  tracking_send_page(g_consent.state, g_consent.is_uninstall ? EVENT_UNINSTALLER_PAGE : EVENT_INSTALLER_PAGE,
                     "welcome");
  return 0;
}

void welcome_once_shown() {
  g_welcome.reset(CreateThread(nullptr, 0, commit_and_send_welcome, nullptr, 0, nullptr));
  if (!g_welcome) commit_and_send_welcome(nullptr);
}

void close_screen_log(const char* folder) {
  log_close(LOG_UI);
  ui_cleanup_temp(folder);
}

}  // namespace

void consent_screen_begin(install_state* state, int dry_run) {
  g_consent.state = state;
  g_consent.result = consent_result::failed;
  g_consent.elevating = 0;
  char exe[MAX_PATH];
  if (module_path(exe, sizeof exe) != 0) exe[0] = '\0';
  g_consent.is_uninstall = is_uninstaller_path(exe);
  g_consent.host_prefix = host_prefix_from_exe_name(exe);
  char prefix[64], sid[33];
  motw_read(prefix, sid, g_consent.host_domain);
  g_consent.choices = consent_choices{};
  g_consent.choices.dry_run = dry_run;
  g_consent.choices.usage_data = state ? state->analytics_enabled : 1;
  g_consent.existing = existing_install_probe{};
  probe_existing_install(&g_consent.existing);
  int found = existing_install_found(g_consent.existing);
  int tag_preference = found && !g_consent.is_uninstall ? tag_uninstall_first() : -1;
  // Removing the old installation first is the default unless the tag says no.
  if (found && !g_consent.is_uninstall) g_consent.choices.uninstall_existing = tag_preference != 0;
  log_probe(g_consent.existing, tag_preference);
  relaunch_arguments(g_consent.choices, found, g_consent.elevation_args, sizeof g_consent.elevation_args);
}

bool consent_welcome_sent() {
  if (!g_welcome) return true;
  bool had_window = ui_host_window() != nullptr;
  HANDLE thread = g_welcome.get();
  ui_wait_dispatching(&thread, 1, INFINITE);
  g_welcome.reset();
  return !had_window || ui_host_window() != nullptr;
}

void consent_on_message(const char* json, void*) {
  if (ui_message_is_invoke(json)) ui_run_command(COMMANDS, sizeof COMMANDS / sizeof COMMANDS[0], json);
}

consent_result consent_webview(install_state* state, int dry_run) {
  g_consent.state = state;
  ui_open_log("Corvane.InstallerUI", "InstallerUI");
  char* folder = g_consent.folder;
  ui_screen_start started = ui_screen_prepare(folder, sizeof g_consent.folder);
  if (started == ui_screen_start::no_folders) {
    log_error("consent_webview: failed to extract resources");
    close_screen_log(folder);
    return consent_result::use_native_window;
  }
  if (started == ui_screen_start::no_webview) {
    log_warn("consent_webview: WebView2 not available");
    close_screen_log(folder);
    return consent_result::use_native_window;
  }
  consent_screen_begin(state, dry_run);
  const consent_texts& texts = consent_texts_for(g_consent.is_uninstall);
  ui_host_config config = {};
  config.page = "consent.html";
  config.title = texts.caption;
  config.close_confirm_text = texts.close_question;
  config.close_confirm_caption = texts.close_question ? texts.caption : nullptr;
  config.on_message = consent_on_message;
  config.on_shown = welcome_once_shown;
  if (ui_screen_pages_ready() != 0) {
    log_error("consent_webview: failed to extract resources");
    close_screen_log(folder);
    return consent_result::use_native_window;
  }

  log_info("consent_webview: showing WebView2 consent screen");
  ui_host_run(&config);
  consent_welcome_sent();

  consent_result result = g_consent.result;
  if (ui_host_webview_failed()) {
    log_warn("consent_webview: WebView2 failed asynchronously — signalling fallback to native consent dialog");
    result = consent_result::use_native_window;
  } else if (result == consent_result::goes_on_here) {
    if (g_consent.is_uninstall)
      uninstall_ui_end(state);
    else
      ui_install_finish(state);
    result = consent_result::done;
  }
  temp_uninstaller_release();
  close_screen_log(folder);
  g_consent.state = nullptr;
  return result;
}
