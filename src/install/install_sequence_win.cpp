// The silent install: the shared steps (download, unpack, pre-install removal, msiexec with
// its retry), then registration, the service and the launch, with the close event last.
#include <windows.h>

#include "acquire/package_name.h"
#include "base/log.h"
#include "install/install_sequence.h"
#include "install/install_steps.h"
#include "install/launch.h"
#include "install/registration.h"
#include "state/attribution.h"
#include "telemetry/tracking.h"

namespace {

int finish_silent(install_state* state) {
  if (state->dry_run) {
    log_info("DRY RUN: skipping post-install, uninstaller, and app launch");
    tracking_send(state, "corvane.installer.finish", "Dry run complete");
    tracking_send_installer_close(state, "Installer end", "not_reached", "installing", nullptr);
  } else {
    register_after_install(state);
    install_state_mark_completed();
    start_product_service();
    launch_result launch = launch_installed_app(state);
    tracking_send(state, "corvane.installer.finish", "Install complete");
    const char* family = launch.code == LAUNCH_FAILED ? launch_family_word(launch.family) : nullptr;
    tracking_send_installer_close(state, "Installer end", launch_outcome_word(launch.code), "post_install", family);
  }
  log_info("Install complete (silent)");
  return 0;
}

}  // namespace

int run_silent_install(install_state* state) {
  log_info("Mode: silent");
  tracking_send(state, "corvane.installer.start", "Install started (silent)");
  char msi_name[256];
  installer_package_name(state->os_architecture, state->app_version, msi_name, sizeof msi_name);
  log_info("MSI filename: %s", msi_name);
  install_failure failure;
  int code;
  if (acquire_and_install(state, msi_name, &failure) != 0) {
    report_install_failure(state, &failure);
    tracking_send_installer_close(state, "Installer end", "not_reached", "installing", nullptr);
    code = 1;
  } else {
    code = finish_silent(state);
  }
  return code;
}
