#include <windows.h>

#include <atomic>

#include "app/log.h"
#include "app/product.h"
#include "state/attribution.h"

namespace {
std::atomic<int> g_install_completed{0};
}

// STAND-IN until the session-data fetch exists: nothing is fetched, so the completion
// callback runs at once on the caller's thread.
void install_state_start_attribution(install_state* state, attribution_done_fn on_done) {
  log_debug("session_fetch: session-data fetch not in this build; attribution stays as initialised");
  if (on_done) on_done(state);
}

// STAND-IN until attribution persistence exists: nothing is written.
void commit_attribution_to_registry(install_state*) {
  log_debug("commit_attribution_to_registry: persistence not in this build; registry left unchanged");
}

void install_state_mark_completed() { g_install_completed.store(1); }

int install_state_install_completed() { return g_install_completed.load(); }

void install_state_purge_pending_host_prefix() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, 0, KEY_SET_VALUE | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) {
    log_debug("install_state_purge_pending_host_prefix: registry key absent, nothing to purge");
    return;
  }
  RegDeleteValueA(key, "HostPrefix");
  RegDeleteValueA(key, "HostDomain");
  RegCloseKey(key);
  log_info("install_state_purge_pending_host_prefix: no install completed — cleared "
           "HKLM\\Software\\CorvaneLabs\\Corvane\\HostPrefix and HostDomain so a subsequent installer run "
           "starts from a clean slate");
}
