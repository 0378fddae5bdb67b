#include <windows.h>

#include <cstdint>

#include "base/bounded_text.h"
#include "base/log.h"
#include "install/install_ui_worker.h"
#include "product/ui_post.h"
#include "state/os_probe.h"
#include "ui/commands/browser_discovery.h"
#include "ui/commands/installer_commands.h"
#include "ui/commands/state_objects.h"

namespace {

void answer(const install_state* state, int32_t id) {
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

DWORD WINAPI answer_when_settled(void* request) {
  ui_install_record_settled(INFINITE);
  answer(ui_install_flags.state, static_cast<int32_t>(reinterpret_cast<intptr_t>(request)));
  return 0;
}

}  // namespace

void ui_install_state_json(int32_t id) {
  const install_state* state = ui_install_flags.state;
  if (!state) {
    ui_send_response(id, "{}");
    return;
  }
  if (ui_install_record_settled(0)) {
    answer(state, id);
    return;
  }
  // The session data is still on its way: the answer comes from a thread of its own once the
  // worker has settled the record, and the window goes on meanwhile. A page that asks again
  // before then waits for its first answer to be sent.
  if (ui_install_flags.state_answer) WaitForSingleObject(ui_install_flags.state_answer.get(), INFINITE);
  void* request = reinterpret_cast<void*>(static_cast<intptr_t>(id));
  ui_install_flags.state_answer.reset(CreateThread(nullptr, 0, answer_when_settled, request, 0, nullptr));
  if (!ui_install_flags.state_answer) answer_when_settled(request);
}
