// The elevation probes of install_state.
#include <windows.h>

#include "base/admin_token.h"
#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "state/os_probe.h"

namespace {

// The full token behind a UAC-filtered one belongs to an administrator who has not elevated.
bool linked_token_is_admin() {
  kernel_handle process;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, process.receive())) return false;
  TOKEN_LINKED_TOKEN linked = {};
  DWORD bytes = 0;
  if (!GetTokenInformation(process.get(), TokenLinkedToken, &linked, sizeof linked, &bytes)) return false;
  kernel_handle full(linked.LinkedToken);
  return is_admin_token(full.get());
}

}  // namespace

void probe_elevation(install_state* state) {
  int elevated = is_process_elevated();
  state->is_elevated = elevated;
  state->is_admin = elevated || linked_token_is_admin();
}
