#include <windows.h>
#include <objbase.h>

#include "app/entry.h"
#include "app/run_mode.h"
#include "app/single_instance.h"
#include "base/folders_win.h"
#include "base/admin_token.h"
#include "base/own_image_win.h"
#include "base/private_folder_win.h"
#include "base/proxy_settings_win.h"
#include "base/wide_win.h"
#include "install/session_user.h"
#include "state/attribution.h"
#include "state/os_probe.h"
#include "telemetry/tracking.h"

int corvane_main(const char* args) {
  // Before anything else: from here on nobody can rename the running file and put another
  // under its name, and every copy of the program is made from this handle.
  own_image_hold();
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // Elevated, this process's own settings may be an administrator's who only approved the
  // elevation: the proxy comes from the desktop's user, found when the first request needs it.
  if (is_process_elevated()) proxy_settings_user(interactive_user_sid);
  tracking_start();
  return running_as_uninstaller() ? run_uninstaller(args) : run_installer(args);
}

int common_end(install_state* state, int exit_code, int installer_mode, int silent, int skip_welcome) {
  private_folder_remove();
  commit_attribution_to_registry(state);
  if (installer_mode &&
      purge_host_prefix_needed(silent, skip_welcome, exit_code, install_state_install_completed(), is_process_elevated()))
    install_state_purge_pending_host_prefix();
  tracking_shutdown();
  single_instance_release();
  CoUninitialize();
  return exit_code;
}
