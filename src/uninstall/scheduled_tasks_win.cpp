// The product's scheduled tasks go through schtasks, the tool that knows the task store.
#include "base/hidden_process_win.h"
#include "base/log.h"
#include "base/schtasks_command.h"
#include "uninstall/cleanup.h"
#include "uninstall/cleanup_steps_win.h"

namespace {
constexpr DWORD SCHTASKS_TIMEOUT_MS = 10000;
}  // namespace

void delete_scheduled_task(const char* task_name) {
  char command[512];
  if (!schtasks_delete_command(task_name, command, sizeof command)) return;
  process_result run = run_hidden(command, SCHTASKS_TIMEOUT_MS);
  if (!run.started) log_warn("Failed to start schtasks for task %s (err=%lu)", task_name, run.windows_error);
}

void delete_product_tasks() {
  for (size_t i = 0; i < PRODUCT_TASK_NAMES.count; ++i) delete_scheduled_task(PRODUCT_TASK_NAMES.names[i]);
  log_info("Deleted scheduled tasks");
}
