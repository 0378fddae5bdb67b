// The one record that describes a run: identity, attribution, the machine, paths, the
// run's choices and the install engine's results. Fixed-size text fields; flags are 0 or 1
// (telemetry writes them as words where it builds an event).
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

// An installation exists when either its own Add/Remove Programs entry or the product's MSI
// registration is there; leftovers alone (folders, keys, service) are not an installation.
inline bool existing_install_found(const existing_install_probe& probe) { return probe.has_c || probe.has_msi; }

typedef void (*progress_fn_t)(const char* stage, int percent, void* context);

// Who writes which part, and when another thread may read it. There is no lock: each part has
// one writer at a time, and a reader waits for a join or a hand-over.
// - Main thread, before any other thread sees the record: install_state_init fills identity,
//   tag and registry attribution, the machine description and the paths; the mode then sets
//   the run's choices (dry_run, decrypt_https, analytics_enabled, uninstall_first, existing,
//   is_uninstall_before_install, progress_fn/progress_ctx) before it starts a worker. The
//   Mark of the Web's host_prefix and host_domain are written on the main thread too, by
//   install_state_start_attribution before its thread starts. Behind the install screen all of
//   this, and the session data's commit, is the worker's first step instead: until the record is
//   settled (ui_install_record_settled) no other thread reads it.
// - Attribution thread (install_state_start_attribution until commit_attribution_to_registry
//   joins it): the session answer's members (utm_*, gclid, fbclid, msclkid, campaign_id,
//   browser_name, browser_version, app_version, auto_install), user_id, user_date and
//   server_timestamp, each only where still empty. Read them on another thread only after the
//   commit (its on_done callback runs on the attribution thread itself, after the merge).
// - Install engine (the silent sequence on the main thread, or the UI install worker):
//   msi_file_size_kb, install_date and install_event_id. The main thread reads them after
//   the worker has been joined.
// - The telemetry sender never reads the record: an event's body and hosts are copied from it
//   on the sending thread.
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
  int32_t is_elevated;
  int32_t is_admin;
  int32_t is_internal;
  char free_disk_mb[16];
  int32_t is_uninstall_before_install;
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

// Fills a record for this run (identity, attribution, system probes, paths).
void install_state_init(install_state* state);

// Set by the last install_state_init: the user identifier (and its date) came from the tag
// block or the registry rather than being issued by this run.
bool install_state_user_id_persisted();
bool install_state_user_date_persisted();
