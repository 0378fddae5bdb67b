// install_state_init: the record of this run, filled in a fixed order so that the tag block
// wins over the machine's registry, which wins over what this run generates.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <initializer_list>

#include "base/bounded_text.h"
#include "base/folders_win.h"
#include "base/log.h"
#include "base/reg_view_win.h"
#include "product/product.h"
#include "base/wide_win.h"
#include "product/product.h"
#include "product/product_places_win.h"
#include "state/attribution.h"
#include "state/install_identity.h"
#include "state/install_state.h"
#include "state/install_state_rules.h"
#include "state/os_probe.h"
#include "state/paths.h"
#include "state/tag_block.h"

namespace {

std::atomic<int> g_user_id_persisted{0};
std::atomic<int> g_user_date_persisted{0};

void fill_paths(install_state* state) {
  product_install_dir(state->install_dir, sizeof state->install_dir);
  temp_folder(state->temp_dir, sizeof state->temp_dir);
  module_path(state->exe_path, sizeof state->exe_path);
}

void fill_from_tag(install_state* state) {
  char decoded[TAG_BUFFER];
  if (read_decoded_tag(decoded) != 0) return;
  log_debug("Legacy PE tag data decoded (fallback path)");
  attribution_refusals refused{};
  install_state_apply_tag(state, decoded, &refused);
  log_attribution_refusals("the tag block", &refused);
}

// The machine-wide attribution a previous run or the product left; only empty fields take it.
// Any process that once ran elevated could have left HostPrefix, so it is checked like the tag.
void fill_from_machine_registry(install_state* s) {
  struct row {
    const char* name;
    char* field;
    size_t size;
    const char* key = "";  // the attribution key a guarded value is checked as
  } rows[] = {
      {"AutoInstall", s->auto_install, sizeof s->auto_install},
      {"BrowserName", s->browser_name, sizeof s->browser_name},
      {"BrowserVersion", s->browser_version, sizeof s->browser_version},
      {"HostPrefix", s->host_prefix, sizeof s->host_prefix, "host_prefix"},
      {"MachineId", s->machine_id, sizeof s->machine_id},
      {"MachineDate", s->machine_date, sizeof s->machine_date},
      {"InstallDate", s->install_date, sizeof s->install_date},
      {"UTMCampaign", s->utm_campaign, sizeof s->utm_campaign},
      {"UTMContent", s->utm_content, sizeof s->utm_content},
      {"UTMMedium", s->utm_medium, sizeof s->utm_medium},
      {"UTMSource", s->utm_source, sizeof s->utm_source},
      {"UTMTerm", s->utm_term, sizeof s->utm_term},
      {"GoogleClickId", s->gclid, sizeof s->gclid},
      {"FacebookClickId", s->fbclid, sizeof s->fbclid},
      {"MicrosoftClickId", s->msclkid, sizeof s->msclkid},
  };
  attribution_refusals refused{};
  for (const row& r : rows) {
    char value[256];  // as large as the largest field: a value is judged before it is cut
    if (r.field[0] ||
        !reg_found_text(reg_read_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, r.name, value, sizeof value)))
      continue;
    if (attribution_value_accepted(r.key, value, r.size, &refused)) text_copy(r.field, r.size, value);
  }
  log_attribution_refusals("HKLM HostPrefix", &refused);
  reg_read_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, "ProductVersion", s->product_version,
                sizeof s->product_version);
}

void fill_is_internal(install_state* state) {
  wchar_t wide[16];
  DWORD length = GetEnvironmentVariableW(L"CORVANE_INTERNAL", wide, 16);
  char value[64];
  int from_env = length >= 1 && length <= 15 && wide_to_utf8(wide, value, sizeof value) == 0;
  uint32_t flag = 0;
  int registry_internal =
      reg_read_dword(HKEY_LOCAL_MACHINE, VENDOR_TELEMETRY_KEY, REG_VIEW_64, "IsInternal", &flag) == ERROR_SUCCESS &&
      flag == 1;
  state->is_internal = is_internal_flag(from_env ? value : nullptr, registry_internal);
  log_info("is_internal=%s", state->is_internal ? "true" : "false");
}

// Machine identity is issued once per machine and only an elevated run may write HKLM.
void persist_machine_values(const install_state* state) {
  if (!is_process_elevated()) return;
  reg_write_once_hklm("MachineId", state->machine_id);
  reg_write_once_hklm("MachineDate", state->machine_date);
  reg_write_once_hklm("AutoInstall", state->auto_install);
  reg_write_once_hklm("BrowserName", state->browser_name);
  reg_write_once_hklm("BrowserVersion", state->browser_version);
}

// Development builds unlock two product features. A refused write (no rights) is not
// announced as done.
void enable_dev_features(const install_state* state) {
  if (strcmp(state->host_prefix, "dev-") != 0) return;
  for (const char* name : {"ShowEngagement", "ShowSettingsPowerButton"})
    if (reg_write_dword(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, REG_VIEW_64, name, 1) == ERROR_SUCCESS)
      log_info("%s=1 (is_dev_build=%d, host_prefix=%s)", name, 0, state->host_prefix);
}

}  // namespace

bool install_state_user_id_persisted() { return g_user_id_persisted.load(); }
bool install_state_user_date_persisted() { return g_user_date_persisted.load(); }

void install_state_init(install_state* state) {
  memset(state, 0, sizeof *state);
  state->msi_file_size_kb = -1;
  fill_paths(state);
  fill_from_tag(state);
  normalise_app_version(state->app_version, sizeof state->app_version);
  fill_from_machine_registry(state);
  if (!state->user_id[0])
    reg_read_text(HKEY_CURRENT_USER, PRODUCT_REG_KEY, REG_VIEW_64, "UserId", state->user_id, sizeof state->user_id);
  if (!state->user_date[0])
    reg_read_text(HKEY_CURRENT_USER, PRODUCT_REG_KEY, REG_VIEW_64, "UserDate", state->user_date,
                  sizeof state->user_date);
  g_user_id_persisted.store(state->user_id[0] != '\0');
  g_user_date_persisted.store(state->user_date[0] != '\0');
  issue_missing_identity(state);
  apply_build_host_prefix(state->host_prefix, sizeof state->host_prefix, state->exe_path);
  probe_system(state);
  probe_user_and_computer_names(state);
  probe_elevation(state);
  fill_is_internal(state);
  probe_free_disk(state);
  persist_machine_values(state);
  enable_dev_features(state);
}
