// Decisions of the entry that depend only on plain values: whether the machine is supported,
// the usage-data and uninstall-first choices, the final purge.
#pragma once

enum os_gate_result { OS_SUPPORTED = 0, OS_UNSUPPORTED_32BIT = 1, OS_UNSUPPORTED_VERSION = 2 };

// Only "x64" and "ARM64" (exact case) at build 17763 or later pass; an empty build counts as 0.
os_gate_result os_gate(const char* architecture, const char* build);

// Texts of a refusal: the dialog, the run event's message and the close event's message.
const char* os_gate_dialog_text(os_gate_result result);
const char* os_gate_run_message(os_gate_result result);
const char* os_gate_close_message(os_gate_result result);

// An explicit /USAGEDATA= choice (0/1) wins; otherwise off only when the stored value is 0.
bool analytics_choice(int persisted, int explicit_choice);

// Whether to remove an existing installation first: the switch's 0/1 (uninstall_first_switch),
// else the tag's 0/1, else yes. False when no installation exists.
bool uninstall_first_choice(int existing_found, int switch_value, int tag_preference);

// The host prefix of an unfinished elevated installer run is purged so the next run starts clean.
bool purge_host_prefix_needed(int silent, int skip_welcome, int exit_code, int install_completed, int elevated);
