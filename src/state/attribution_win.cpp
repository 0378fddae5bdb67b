#include "state/attribution.h"

#include <windows.h>

#include <atomic>

#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/reg_view_win.h"
#include "product/product.h"
#include "product/vendor_domain.h"
#include "state/motw.h"
#include "state/os_probe.h"
#include "state/session_fetch.h"

namespace {

std::atomic<int> g_install_completed{0};
kernel_handle g_thread;
attribution_context g_context;

DWORD WINAPI attribution_thread(LPVOID context) {
  session_fetch(static_cast<attribution_context*>(context));
  return 0;
}

void write_if_set(HKEY root, const char* name, const char* value) {
  if (value[0]) reg_write_text(root, PRODUCT_REG_KEY, REG_VIEW_64, name, value);
}

void commit_host_domain(const char* domain) {
  if (!domain[0]) return;
  if (is_alternate_vendor_domain(domain)) {
    reg_write_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, "HostDomain", domain);
  } else if (text_equal_nocase(domain, VENDOR_DOMAIN_COM)) {
    if (reg_delete_value(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, "HostDomain") == ERROR_SUCCESS)
      log_info("commit_attribution_to_registry: MOTW apex is primary %s — cleared "
               "HKLM\\Software\\CorvaneLabs\\Corvane\\HostDomain",
               VENDOR_DOMAIN_COM);
  }
}

}  // namespace

void log_attribution_refusals(const char* source, const attribution_refusals* refused) {
  for (int i = 0; i < refused->count; ++i)
    log_warn("Refused %s from %s: \"%s\" — going on as if it were absent", refused->items[i].key, source,
             refused->items[i].value);
}

void install_state_start_attribution(install_state* state, attribution_done_fn on_done) {
  if (g_thread) {
    log_warn("install_state_start_attribution: already in flight, skipping");
    return;
  }
  g_context = attribution_context{};
  motw_read(g_context.motw_prefix, g_context.motw_sid, g_context.motw_domain);
  if (g_context.motw_prefix[0]) text_copy(state->host_prefix, g_context.motw_prefix);
  if (g_context.motw_domain[0]) text_copy(state->host_domain, g_context.motw_domain);
  g_context.state = state;
  g_context.on_complete = on_done;
  // A generated identity is never sent, and the worker's replaces it.
  g_context.user_id_persisted = install_state_user_id_persisted();
  g_context.user_date_persisted = install_state_user_date_persisted();
  g_context.done_event.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  g_thread.reset(CreateThread(nullptr, 0, attribution_thread, &g_context, 0, nullptr));
  if (!g_thread) {
    log_warn("CreateThread for attribution failed (err=%lu); falling back to inline fetch", GetLastError());
    session_fetch(&g_context);
  }
}

void commit_attribution_to_registry(install_state*) {
  if (g_thread) {
    WaitForSingleObject(g_thread.get(), INFINITE);
    g_thread.reset();
  }
  install_state* s = g_context.state;
  g_context = attribution_context{};
  if (!s) return;
  write_if_set(HKEY_CURRENT_USER, "UserId", s->user_id);
  write_if_set(HKEY_CURRENT_USER, "UserDate", s->user_date);
  if (!is_process_elevated()) return;
  write_if_set(HKEY_LOCAL_MACHINE, "HostPrefix", s->host_prefix);
  commit_host_domain(s->host_domain);
  const struct {
    const char* name;
    const char* value;
  } campaign[] = {{"UTMCampaign", s->utm_campaign}, {"UTMContent", s->utm_content}, {"UTMMedium", s->utm_medium},
                  {"UTMSource", s->utm_source},     {"UTMTerm", s->utm_term},       {"GoogleClickId", s->gclid},
                  {"FacebookClickId", s->fbclid},   {"MicrosoftClickId", s->msclkid}};
  for (const auto& c : campaign) write_if_set(HKEY_LOCAL_MACHINE, c.name, c.value);
}

void install_state_mark_completed() {
  g_install_completed.store(1);
  log_info("install_state_mark_completed: install succeeded in this process — HostPrefix / HostDomain will persist");
}

bool install_state_install_completed() { return g_install_completed.load(); }

void install_state_purge_pending_host_prefix() {
  LSTATUS prefix_key = reg_delete_value(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, "HostPrefix");
  LSTATUS domain_key = reg_delete_value(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, "HostDomain");
  if (prefix_key == ERROR_SUCCESS || domain_key == ERROR_SUCCESS)
    log_info("install_state_purge_pending_host_prefix: no install completed — cleared "
             "HKLM\\Software\\CorvaneLabs\\Corvane\\HostPrefix and HostDomain so a subsequent installer run starts "
             "from a clean slate");
  else
    log_debug("install_state_purge_pending_host_prefix: registry key absent, nothing to purge");
}
