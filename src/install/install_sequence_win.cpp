// The silent install: download, unpack, remove an existing installation when asked, msiexec
// (with one bare-MSI retry after a ZIP-extracted package failed), then registration, the
// service and the launch. Every step reaches the log and telemetry.
#include <windows.h>

#include <cstring>

#include "acquire/download.h"
#include "acquire/package_name.h"
#include "acquire/zip_extract.h"
#include "app/bounded_text.h"
#include "app/log.h"
#include "app/wide_win.h"
#include "install/install_sequence.h"
#include "install/launch.h"
#include "install/msi_exec.h"
#include "install/preinstall_uninstall.h"
#include "install/registration.h"
#include "state/attribution.h"
#include "state/onboarding_values.h"
#include "state/paths.h"
#include "telemetry/tracking.h"

namespace {

// One failure category ends the run: error event, finish event, close event, exit code 1.
int fail(install_state* state, const char* category, const char* text, int msi_code, const char* finish_message) {
  tracking_error error{category, msi_code, state->msi_file_size_kb};
  tracking_send_error(state, "corvane.installer.fail", text, &error);
  tracking_send(state, "corvane.installer.finish", finish_message);
  tracking_send_installer_close(state, "Installer end", "not_reached", "installing", nullptr);
  return 1;
}

int ends_with_zip(const char* path) {
  return strlen(path) > 4 && text_ends_with_nocase(path, ".zip");
}

void remove_existing_first(install_state* state) {
  if (!state->uninstall_first || !(state->existing.has_c || state->existing.has_msi)) return;
  int code = run_existing_uninstaller(state);
  char line[512];
  text_format(line, sizeof line, "Pre-install uninstall finished (exit=%d, has_c=%d, has_msi=%d, product=%s)", code,
              state->existing.has_c, state->existing.has_msi,
              state->existing.product_code[0] ? state->existing.product_code : "(none)");
  log_write(LOG_MAIN, code == 0 ? LOG_LEVEL_INFO : LOG_LEVEL_WARN, "%s — continuing with new install regardless", line);
}

// A package that came out of a ZIP and failed gets one more chance as the bare MSI.
int retry_with_bare_msi(install_state* state, package_download_request* request, const char* extracted, int code) {
  log_warn("ZIP-extracted MSI failed with exit code %d — re-downloading bare MSI for retry", code);
  wchar_t wide[MAX_PATH];
  if (utf8_to_wide(extracted, wide, MAX_PATH) == 0) DeleteFileW(wide);
  request->msi_only = 1;
  char path[DOWNLOAD_PATH_OUT], message[DOWNLOAD_MESSAGE_OUT];
  if (download_installer_package(request, path, message) != 0) {
    log_error("Bare-MSI re-download failed: %s", message);
    return code;
  }
  int second = run_msi_install(state, path);
  if (msi_success(second))
    log_info("Bare-MSI retry succeeded (exit=%d) after ZIP path failed (exit=%d)", second, code);
  else
    log_error("Bare-MSI retry also failed (exit=%d); original ZIP exit=%d", second, code);
  return second;
}

void send_close_after_launch(install_state* state, const launch_result& launch) {
  const char* family = launch.code == LAUNCH_FAILED ? launch_family_word(launch.family) : nullptr;
  tracking_send_installer_close(state, "Installer end", launch_outcome_word(launch.code), "post_install", family);
}

int install_downloaded(install_state* state, package_download_request* request, const char* downloaded) {
  char msi_path[MAX_PATH];
  int from_zip = ends_with_zip(downloaded);
  if (from_zip) {
    log_info("Extracting zip...");
    char message[ZIP_MESSAGE_OUT];
    if (extract_zip(downloaded, state->temp_dir, nullptr, message, sizeof message) != 0)
      return fail(state, "extract_failed", message, -1, "Extract failed");
    log_info("Zip extracted");
    text_format(msi_path, sizeof msi_path, "%s%s", state->temp_dir, request->msi_name);
  } else {
    text_copy(msi_path, downloaded);
  }
  remove_existing_first(state);
  record_https_consent(state->decrypt_https);
  log_info("Running msiexec...");
  int code = run_msi_install(state, msi_path);
  if (!msi_success(code) && from_zip) code = retry_with_bare_msi(state, request, msi_path, code);
  if (!msi_success(code)) {
    char text[64];
    text_format(text, sizeof text, "msiexec failed with exit code %d", code);
    return fail(state, "msi_exec_failed", text, code, "Install failed");
  }
  return 0;
}

void post_install(install_state* state) {
  write_app_paths(state);
  register_installed_product(state);
  record_install_completed();
  tracking_send_event(state, "corvane.installer.install", "Installation completed successfully", nullptr, nullptr,
                      state->install_event_id, sizeof state->install_event_id);
  install_state_mark_completed();
  start_product_service();
}

}  // namespace

int run_silent_install(install_state* state) {
  void* redirection = fs_redirection_disable();
  log_info("Mode: silent");
  tracking_send(state, "corvane.installer.start", "Install started (silent)");
  char msi_name[256];
  installer_package_name(state->os_architecture, state->app_version, msi_name, sizeof msi_name);
  log_info("MSI filename: %s", msi_name);

  package_download_request request{state->host_prefix, state->host_domain, msi_name, state->temp_dir, nullptr, nullptr, 0};
  log_info("Starting download...");
  char downloaded[DOWNLOAD_PATH_OUT], message[DOWNLOAD_MESSAGE_OUT];
  int code;
  if (download_installer_package(&request, downloaded, message) != 0) {
    code = fail(state, "download_failed", message, -1, "Download failed");
  } else {
    log_info("Downloaded: %s", downloaded);
    code = install_downloaded(state, &request, downloaded);
  }
  if (code == 0 && state->dry_run) {
    log_info("DRY RUN: skipping post-install, uninstaller, and app launch");
    tracking_send(state, "corvane.installer.finish", "Dry run complete");
    tracking_send_installer_close(state, "Installer end", "not_reached", "installing", nullptr);
    log_info("Install complete (silent)");
  } else if (code == 0) {
    post_install(state);
    launch_result launch = launch_installed_app(state);
    tracking_send(state, "corvane.installer.finish", "Install complete");
    send_close_after_launch(state, launch);
    log_info("Install complete (silent)");
  }
  fs_redirection_revert(redirection);
  return code;
}
