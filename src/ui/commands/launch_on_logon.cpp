#include "ui/commands/launch_on_logon.h"

#include "base/bounded_text.h"
#include "base/path_text.h"
#include "base/schtasks_command.h"
#include "product/product.h"

bool launch_on_logon_keys_for(const onboarding_root* root, launch_on_logon_keys* out) {
  if (root->kind != ONBOARDING_ROOT_USERS)
    return text_copy(out->run_key, RUN_KEY) && text_copy(out->product_key, PRODUCT_REG_KEY);
  const char* sid = root->console_sid;
  return text_format(out->run_key, sizeof out->run_key, "%s\\%s", sid, RUN_KEY) &&
         text_format(out->product_key, sizeof out->product_key, "%s\\%s", sid, PRODUCT_REG_KEY);
}

bool ui_task_command(const char* install_dir, char* out, size_t size) {
  char app[260];
  return join_path(install_dir, PRODUCT_APP_EXE, app, sizeof app) == 0 &&
         schtasks_change_command(UI_CHECK_TASK, app, "--run_source=scheduled --trigger scheduled", out, size);
}

bool service_task_command(const char* install_dir, int enabled, char* out, size_t size) {
  char service[260];
  return join_path(install_dir, PRODUCT_SERVICE_EXE, service, sizeof service) == 0 &&
         schtasks_change_command(SERVICE_CHECK_TASK, service,
                                 enabled ? "--trigger scheduled --launch-at-logon" : "--trigger scheduled", out, size);
}
