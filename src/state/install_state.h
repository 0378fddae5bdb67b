// The one record that describes a run: identity, attribution, the machine, paths, the
// run's choices and the install engine's results. Fixed-size text fields; flags that
// telemetry sends as strings hold the words "true"/"false".
#pragma once

#include <cstdint>

// What the existing-install probe found (filled by probe_existing_install).
struct existing_install_probe {
  int32_t has_c;
  int32_t has_msi;
  char product_code[64];
  char existing_version[64];
  int32_t hive;
  int32_t dir;
  int32_t pdata;
  int32_t run;
  int32_t apppaths;
  int32_t svc;
  int32_t task;
  int32_t shortcut;
  int32_t any;
};

typedef void (*progress_fn_t)(const char* stage, int percent, void* context);

struct install_state {
  char app_version[64];
  char auto_install[16];
  char host_prefix[64];
  char host_domain[32];
  char user_id[128];
  char user_date[32];
  char machine_id[128];
  char machine_id_sha2[65];
  char machine_date[32];
  char install_date[32];
  uint32_t server_timestamp;
  char computer_name[256];
  char user_name[256];
  char is_elevated[16];
  char is_admin[16];
  char is_internal[16];
  char free_disk_mb[16];
  char is_uninstall_before_install[16];
  char browser_name[64];
  char browser_version[64];
  char utm_campaign[256];
  char utm_content[256];
  char utm_medium[256];
  char utm_source[256];
  char utm_term[256];
  char gclid[256];
  char fbclid[256];
  char msclkid[256];
  char campaign_id[128];
  char os_name[64];
  char os_edition[64];
  char os_version[32];
  char os_build[16];
  char os_architecture[16];
  char os_language[64];
  char os_language_code[16];
  char os_display_scale[16];
  char os_antivirus[256];
  char os_memory_mb[32];
  char os_install_date[32];
  char os_timezone[128];
  char browser_name_default[128];
  char install_dir[260];
  char temp_dir[260];
  char exe_path[260];
  char install_event_id[40];
  progress_fn_t progress_fn;
  void* progress_ctx;
  int32_t dry_run;
  int64_t msi_file_size_kb;
  char product_version[64];
  existing_install_probe existing;
  int32_t uninstall_first;
  int32_t decrypt_https;
  int32_t analytics_enabled;
};

// Fills a record for this run (identity, attribution, system probes, paths). Always 0.
int install_state_init(install_state* state);

// Set by the last install_state_init: the user identifier (and its date) came from the tag
// block or the registry rather than being issued by this run.
int install_state_user_id_persisted();
int install_state_user_date_persisted();
