#include "base/bounded_text.h"
#include "base/log.h"
#include "install/install_ui_worker.h"
#include "product/ui_post.h"
#include "state/os_probe.h"
#include "ui/commands/browser_discovery.h"
#include "ui/commands/installer_commands.h"
#include "ui/commands/state_objects.h"

void ui_install_state_json(int32_t id) {
  const install_state* state = ui_install_flags.state;
  if (!state) {
    ui_send_response(id, "{}");
    return;
  }
  browser_list browsers;
  browsers_discover(&browsers);
  char array[BROWSERS_JSON_SIZE];
  int listed = browsers_json(&browsers, array, sizeof array);
  log_write(LOG_UI, LOG_LEVEL_INFO, "StartMenuInternet enumeration: %d browser(s) discovered (excluded: iexplore.exe)",
            listed);
  probe_antivirus_wait();
  char object[UI_STATE_OBJECT_SIZE];
  if (ui_install_state_object(state, array, object, sizeof object) != 0) text_copy(object, "{}");
  ui_send_state_response(id, object, "install-state");
}
