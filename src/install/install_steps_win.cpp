#include <windows.h>

#include <cstring>

#include "acquire/download.h"
#include "acquire/package_identity_win.h"
#include "acquire/package_trust_win.h"
#include "acquire/zip_extract.h"
#include "base/bounded_text.h"
#include "base/delete_tree.h"
#include "base/log.h"
#include "base/private_folder_win.h"
#include "product/ui_messages.h"
#include "product/ui_post.h"
#include "install/install_steps.h"
#include "install/msi_busy.h"
#include "install/msi_exec.h"
#include "install/preinstall_uninstall.h"
#include "install/registration.h"
#include "product/ui_post.h"
#include "state/onboarding_values.h"
#include "telemetry/tracking.h"

namespace {

int ui_mode(const install_state* state) { return state->progress_fn != nullptr; }

void report(install_state* state, const char* stage, int percent) {
  if (state->progress_fn) state->progress_fn(stage, percent, state->progress_ctx);
}

int fail(install_failure* failure, const char* category, const char* text, int msi_code, const char* finish,
         const char* page_stage) {
  failure->category = category;
  text_copy(failure->text, text);
  failure->msi_code = msi_code;
  failure->finish_message = finish;
  failure->page_stage = page_stage;
  return -1;
}

bool ends_with_zip(const char* path) { return strlen(path) > 4 && text_ends_with_nocase(path, ".zip"); }

void remove_existing_first(install_state* state) {
  if (!state->uninstall_first || !existing_install_found(state->existing)) return;
  report(state, install_stage("uninstalling_existing"), 0);
  int code = run_existing_uninstaller(state).shown_code();
  char line[512];
  text_format(line, sizeof line, "Pre-install uninstall finished (exit=%d, has_c=%d, has_msi=%d, product=%s)", code,
              state->existing.has_c, state->existing.has_msi,
              state->existing.product_code[0] ? state->existing.product_code : "(none)");
  log_write(LOG_MAIN, code == 0 ? LOG_LEVEL_INFO : LOG_LEVEL_WARN, "%s — continuing with new install regardless", line);
}

// The package msiexec runs, and the handle that keeps it as it was checked until msiexec has
// exited (read-only sharing: nobody can change, replace or delete it in between).
struct checked_package {
  install_state* state;
  const char* msi_name;
  install_failure* failure;
  int folders;               // fresh folders made so far, which numbers their names
  int from_zip;
  char downloads[MAX_PATH];  // this walk's download folder
  char unpacked[MAX_PATH];   // the folder the last ZIP was unpacked into
  char msi_path[MAX_PATH];
  kernel_handle held;
};

// msiexec reads loose files and external cabinets from the MSI's own folder, so every walk's
// downloads and every ZIP's MSI get a folder of their own, made fresh in the private folder:
// nothing but the checked MSI is ever beside it.
int fresh_folder(checked_package* package, const char* kind, char* out, size_t size) {
  char name[32];
  text_format(name, sizeof name, "%s-%d", kind, ++package->folders);
  return private_subfolder(name, out, size);
}

// Only the MSI the package name calls for comes out of the ZIP; the rest is left in it.
int unpack_package(checked_package* package, const char* zip) {
  log_info("Extracting zip...");
  char message[ZIP_MESSAGE_OUT];
  if (fresh_folder(package, "package", package->unpacked, sizeof package->unpacked) != 0)
    return fail(package->failure, "extract_failed", "No private folder to unpack the package into", -1,
                "Extract failed", "extract");
  download_progress_fn progress = ui_mode(package->state) ? ui_progress_extracting : nullptr;
  if (extract_zip_package(zip, package->msi_name, package->unpacked, progress, message, sizeof message) != 0) {
    delete_tree_force(package->unpacked);
    return fail(package->failure, "extract_failed", message, -1, "Extract failed", "extract");
  }
  log_info("Zip extracted");
  text_format(package->msi_path, sizeof package->msi_path, "%s\\%s", package->unpacked, package->msi_name);
  log_info("Unpacked package: %s", package->msi_path);
  return 0;
}

// Lets go of a package that will not run; the walk deletes the download, this its unpacked MSI.
void discard(checked_package* package) {
  package->held.reset();
  if (package->from_zip) delete_tree_force(package->unpacked);
}

// Each downloaded file, before the walk ends: a ZIP is unpacked, and the MSI that would run is
// verified, then asked which product and version it is. For a ZIP that is the MSI unpacked
// from it: a ZIP carries no signature, and the unpacked file is the one msiexec opens. A
// refused package goes the way of a failed download.
package_verdict check_package(const char* downloaded, void* context) {
  checked_package* package = static_cast<checked_package*>(context);
  install_state* state = package->state;
  log_info("Downloaded: %s", downloaded);
  if (ui_mode(state)) {
    report(state, install_stage("downloading"), 100);
    Sleep(500);
    report(state, install_stage("extracting"), 0);
  }
  package->from_zip = ends_with_zip(downloaded);
  if (package->from_zip) {
    if (unpack_package(package, downloaded) != 0) return package_verdict::stop;
  } else {
    text_copy(package->msi_path, downloaded);
  }
  char reason[PACKAGE_TRUST_REASON];
  if (package_trust_open(package->msi_path, &package->held, reason, sizeof reason) != 0) {
    log_warn("Package signature not trusted: %s", reason);
  } else if (package_identity_check(package->msi_path, reason, sizeof reason) != 0) {
    log_warn("Package refused: %s", reason);
  } else {
    return package_verdict::accepted;
  }
  discard(package);
  return package_verdict::refused;
}

// A package that came out of a ZIP and failed gets one more chance as the bare MSI, downloaded
// into a fresh folder of its own.
int retry_with_bare_msi(install_state* state, package_download_request* request, checked_package* package, int code) {
  log_warn("ZIP-extracted MSI failed with exit code %d — re-downloading bare MSI for retry", code);
  discard(package);
  request->msi_only = 1;
  report(state, install_stage("downloading"), 0);
  char path[DOWNLOAD_PATH_OUT], message[DOWNLOAD_MESSAGE_OUT];
  if (fresh_folder(package, "download", package->downloads, sizeof package->downloads) != 0) {
    log_error("Bare-MSI re-download has no folder to go to");
    return code;
  }
  if (download_installer_package(request, path, message) != package_walk::kept) {
    log_error("Bare-MSI re-download failed: %s", message);
    return code;
  }
  report(state, install_stage("installing"), 30);
  int second = run_msi_install(state, package->msi_path).shown_code();
  if (msi_success(second))
    log_info("Bare-MSI retry succeeded (exit=%d) after ZIP path failed (exit=%d)", second, code);
  else
    log_error("Bare-MSI retry also failed (exit=%d); original ZIP exit=%d", second, code);
  return second;
}

}  // namespace

int acquire_and_install(install_state* state, const char* msi_name, install_failure* failure) {
  int ui = ui_mode(state);
  // The package, the unpacked MSI and msiexec's log live in the run's private folder, not in
  // the temp folder where another process of the user could plant or swap them.
  checked_package package{state, msi_name, failure, 0, 0, "", "", "", {}};
  if (fresh_folder(&package, "download", package.downloads, sizeof package.downloads) != 0)
    return fail(failure, "download_failed", "No private working folder for the package", -1, "Download failed",
                "download");
  package_download_request request{state->host_prefix, state->host_domain, msi_name, package.downloads,
                                   ui ? ui_progress_downloading : nullptr, nullptr, 0, check_package, &package};
  if (!ui) log_info("Starting download...");
  char downloaded[DOWNLOAD_PATH_OUT], message[DOWNLOAD_MESSAGE_OUT];
  package_walk walk = download_installer_package(&request, downloaded, message);
  if (walk == package_walk::stopped) return -1;  // check_package filled the failure
  if (walk == package_walk::proxy_refused_sign_in)
    return fail(failure, "proxy_authentication_required", message, -1, "Download failed", "download");
  if (walk != package_walk::kept) return fail(failure, "download_failed", message, -1, "Download failed", "download");

  remove_existing_first(state);
  record_https_consent(state->decrypt_https);
  if (ui) tracking_send_installer_page(state, "install");
  report(state, install_stage("installing"), 30);
  log_info("Running msiexec...");
  int code = run_msi_install(state, package.msi_path).shown_code();
  // A package that waited out the Installer's ten minutes is not at fault: the bare MSI would
  // only wait as long again.
  if (!msi_success(code) && package.from_zip && code != MSI_INSTALLER_BUSY)
    code = retry_with_bare_msi(state, &request, &package, code);
  if (!msi_success(code)) {
    char text[64];
    text_format(text, sizeof text, "msiexec failed with exit code %d", code);
    return fail(failure, "msi_exec_failed", text, code, "Install failed", "install");
  }
  return 0;
}

void report_install_failure(install_state* state, const install_failure* failure) {
  tracking_error error{failure->category, failure->msi_code, state->msi_file_size_kb};
  tracking_send_error(state, "corvane.installer.fail", failure->text, &error);
  tracking_send(state, "corvane.installer.finish", failure->finish_message);
}

void register_after_install(install_state* state) {
  write_app_paths(state);
  register_installed_product(state);
  record_install_completed();
  tracking_send_event(state, "corvane.installer.install", "Installation completed successfully", nullptr, nullptr,
                      state->install_event_id, sizeof state->install_event_id);
}
