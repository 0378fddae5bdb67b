// The silent uninstall: close the product, remove the package and clean up, with the start,
// finish and close events around it. Every uninstall that ran exits 0; the outcome travels
// in the log and the events.
#include <windows.h>

#include "base/log.h"
#include "product/close_product_win.h"
#include "telemetry/tracking.h"
#include "uninstall/msi_uninstall.h"
#include "uninstall/uninstall_flow.h"

int run_silent_uninstall(install_state* state) {
  tracking_send(state, "corvane.uninstaller.start", "Uninstall started (silent)");
  const char* finish = "Uninstall completed";
  if (state->dry_run) {
    log_info("DRY RUN: simulating uninstall (5 seconds)");
    Sleep(5000);
    log_info("DRY RUN: simulated uninstall complete");
    finish = "Dry run complete";
  } else {
    log_info("Starting uninstall");
    close_running_product();
    if (uninstall_msi_and_clean(state) == UNINSTALL_FILES_REMAIN) finish = "Uninstall completed (files remain)";
  }
  tracking_send(state, "corvane.uninstaller.finish", finish);
  tracking_send(state, "corvane.uninstaller.close", "Uninstaller end");
  return 0;
}
