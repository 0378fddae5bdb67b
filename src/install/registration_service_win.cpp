// A head start for the product's service, so it is warming up while the user reads the
// finish screen. Nothing here can fail the install: the product's sign-in task and its app
// start the service later when this does not.
#include <windows.h>

#include "base/handle_win.h"
#include "base/log.h"
#include "install/registration.h"
#include "product/product.h"

namespace {

// Returns true when the service is already running or starting, with its log line written.
bool already_up(SC_HANDLE service) {
  SERVICE_STATUS status = {};
  if (!QueryServiceStatus(service, &status)) return false;
  const char* state = status.dwCurrentState == SERVICE_RUNNING         ? "Running"
                      : status.dwCurrentState == SERVICE_START_PENDING ? "StartPending"
                                                                       : nullptr;
  if (!state) return false;
  log_info("install_start_service: \"%s\" already %s — skipping head-start kick", PRODUCT_SERVICE_NAME, state);
  return true;
}

void kick(SC_HANDLE service) {
  if (StartServiceW(service, 0, nullptr)) {
    log_info("install_start_service: SCM accepted start request for \"%s\" — service warming up while user reads "
             "finish screen",
             PRODUCT_SERVICE_NAME);
    return;
  }
  DWORD error = GetLastError();
  if (error == ERROR_SERVICE_ALREADY_RUNNING)
    log_info("install_start_service: \"%s\" already running (raced QueryServiceStatus); treating as success",
             PRODUCT_SERVICE_NAME);
  else
    log_warn("install_start_service: StartService(\"%s\") failed (err=%lu) — UI auto-restart / ONLOGON task will "
             "recover",
             PRODUCT_SERVICE_NAME, error);
}

}  // namespace

void start_product_service() {
  service_handle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) {
    log_warn("install_start_service: OpenSCManager failed (err=%lu) — leaving service start to the ONLOGON "
             "scheduled task / UI auto-restart fallback",
             GetLastError());
    return;
  }
  service_handle service(OpenServiceW(manager.get(), L"" PRODUCT_SERVICE_NAME, SERVICE_QUERY_STATUS | SERVICE_START));
  if (!service) {
    log_warn("install_start_service: OpenService(\"%s\") failed (err=%lu) — service entry missing or ACL denies us. "
             "The ONLOGON scheduled task will start it at the next sign-in.",
             PRODUCT_SERVICE_NAME, GetLastError());
    return;
  }
  if (!already_up(service.get())) kick(service.get());
}
