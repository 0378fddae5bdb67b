#include <windows.h>
#include <objbase.h>

#include "app/entry.h"
#include "app/run_mode.h"
#include "app/single_instance.h"
#include "base/admin_token.h"
#include "base/folders_win.h"
#include "base/log.h"
#include "base/own_image_win.h"
#include "base/private_folder_win.h"
#include "base/proxy_settings_win.h"
#include "install/session_user.h"
#include "state/attribution.h"
#include "telemetry/tracking.h"

int corvane_main(const char* args) {
  // Before anything else: from here on nobody can rename the running file and put another
  // under its name, and every copy of the program is made from this handle.
  own_image_hold();
  run_scope run;
  run.exit_code = running_as_uninstaller() ? run_uninstaller(args, run) : run_installer(args, run);
  return run.exit_code;
}

run_scope::run_scope() {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  // Elevated, this process's own settings may be an administrator's who only approved the
  // elevation: the proxy comes from the desktop's user, found when the first request needs it.
  if (is_process_elevated()) proxy_settings_user(interactive_user_sid);
  tracking_start();
}

run_scope::~run_scope() {
  if (!stepped_aside) {
    if (record) {
      private_folder_remove();
      commit_attribution_to_registry(record);
      if (installer.purges && purge_host_prefix_needed(installer.silent, installer.skip_welcome, exit_code,
                                                       install_state_install_completed(), is_process_elevated()))
        install_state_purge_pending_host_prefix();
    }
    tracking_shutdown();
    single_instance_release();
    CoUninitialize();
  }
  log_close(LOG_UI);
  log_close(LOG_MAIN);
}
