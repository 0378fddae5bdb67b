// The steps the silent sequence and the UI worker share: fetch the package, unpack it, remove an
// existing installation when asked, msiexec with the one bare-MSI retry, and the registration
// after success. Progress goes through the state's progress callback (set only in UI mode).
#pragma once

#include <cstddef>

#include "state/install_state.h"

// What ended a failed install: its category, the text of the failure event, the finish message
// and the page's terminal stage.
struct install_failure {
  const char* category;
  const char* finish_message;
  const char* page_stage;
  char text[512];
  int msi_code;
};

// 0 when msiexec succeeded (or was simulated); -1 with *failure filled. msi_name as named for
// this machine; the UI passes its download and extraction progress callbacks (null when silent).
int acquire_and_install(install_state* state, const char* msi_name, install_failure* failure);

// The failure event of an ended install, then its finish event.
void report_install_failure(install_state* state, const install_failure* failure);

// App Paths, our uninstall entry, InstallCompletedAtUtc and the install event (its id kept).
void register_after_install(install_state* state);
