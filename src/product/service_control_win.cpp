// Stopping and deleting the product's services through the service manager.
#include "base/handle_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "product/close_product_win.h"

namespace {

constexpr int STOP_POLLS = 150;
constexpr DWORD STOP_POLL_INTERVAL_MS = 100;
constexpr DWORD KILL_WAIT_MS = 5000;

int query_status(SC_HANDLE service, SERVICE_STATUS_PROCESS* status) {
  DWORD needed = 0;
  return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(status), sizeof *status,
                              &needed)
             ? 0
             : -1;
}

bool wait_until_stopped(SC_HANDLE service) {
  for (int poll = 0; poll < STOP_POLLS; ++poll) {
    SERVICE_STATUS_PROCESS status = {};
    if (query_status(service, &status) == 0 && status.dwCurrentState == SERVICE_STOPPED) return true;
    Sleep(STOP_POLL_INTERVAL_MS);
  }
  return false;
}

// A driver runs in the kernel (process id 0): there is no process to end.
void kill_service_process(SC_HANDLE service, const char* name) {
  SERVICE_STATUS_PROCESS status = {};
  if (query_status(service, &status) != 0 || status.dwCurrentState == SERVICE_STOPPED || status.dwProcessId == 0)
    return;
  kernel_handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId));
  if (!process) return;
  log_warn("Service %s did not stop gracefully — terminating PID %lu", name, status.dwProcessId);
  TerminateProcess(process.get(), 1);
  WaitForSingleObject(process.get(), KILL_WAIT_MS);
}

}  // namespace

void stop_service(const char* name) {
  wchar_t wide[257];
  if (utf8_to_wide(name, wide, 257) != 0) return;
  service_handle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return;
  service_handle service(OpenServiceW(manager.get(), wide, SERVICE_STOP | SERVICE_QUERY_STATUS));
  if (!service) return;
  SERVICE_STATUS status = {};
  int stopped = ControlService(service.get(), SERVICE_CONTROL_STOP, &status) && wait_until_stopped(service.get());
  if (!stopped) kill_service_process(service.get(), name);
  log_info("Service %s: %s", name, stopped ? "stopped gracefully" : "force-terminated");
}

void delete_service(const char* name) {
  wchar_t wide[257];
  if (utf8_to_wide(name, wide, 257) != 0) return;
  service_handle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
  if (!manager) return;
  service_handle service(OpenServiceW(manager.get(), wide, DELETE));
  if (service.get()) DeleteService(service.get());
}
