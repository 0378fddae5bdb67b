// Every command a page may invoke: its arguments, what it answers and which pages send it. The
// command tables name their commands through page_command() and are checked against this list
// when they compile; tools/page_contract_export.cpp writes it out for the page tests.
#pragma once

#include <cstddef>
#include <string_view>

enum page_screen : unsigned { PAGE_CONSENT = 1, PAGE_INSTALL = 2, PAGE_UNINSTALL = 4 };
constexpr unsigned PAGE_EVERY_SCREEN = PAGE_CONSENT | PAGE_INSTALL | PAGE_UNINSTALL;

// What a command answers with. A state answer is the install- or the uninstall-state object
// after the screen; "elevation" is {"status":"ok"|"cancelled"|"error","error":<code>}.
enum page_result { RESULT_NULL, RESULT_STATE, RESULT_CONSENT_INFO, RESULT_ELEVATION };

struct page_command_entry {
  std::string_view name;
  const char* args;  // the members of "args" the host reads, comma-separated
  page_result result;
  unsigned screens;
};

inline constexpr page_command_entry PAGE_COMMANDS[] = {
    {"log_from_js", "level,message", RESULT_NULL, PAGE_EVERY_SCREEN},
    {"signal_user_action", "action", RESULT_NULL, PAGE_EVERY_SCREEN},
    {"exit_sibling", "", RESULT_NULL, PAGE_EVERY_SCREEN},
    {"show_window", "", RESULT_NULL, PAGE_EVERY_SCREEN},
    {"sibling_show_complete", "", RESULT_NULL, PAGE_EVERY_SCREEN},
    {"open_url", "url", RESULT_NULL, PAGE_CONSENT | PAGE_INSTALL},
    {"get_install_state", "", RESULT_STATE, PAGE_INSTALL | PAGE_UNINSTALL},
    {"enable_close", "", RESULT_NULL, PAGE_INSTALL | PAGE_UNINSTALL},
    {"get_consent_info", "", RESULT_CONSENT_INFO, PAGE_CONSENT},
    {"toggle_dry_run", "", RESULT_CONSENT_INFO, PAGE_CONSENT},
    {"consent_elevate", "uninstall_existing,decrypt_https,analytics_enabled", RESULT_ELEVATION, PAGE_CONSENT},
    {"launch_app", "", RESULT_NULL, PAGE_INSTALL},
    {"set_launch_on_logon", "enabled", RESULT_NULL, PAGE_INSTALL},
    {"save_onboarding_browsers", "enabled,disabled", RESULT_NULL, PAGE_INSTALL},
    {"save_onboarding_filters", "blockAds,blockPrivacy,blockSocial", RESULT_NULL, PAGE_INSTALL},
    {"save_onboarding_https", "filterHttps", RESULT_NULL, PAGE_INSTALL},
    {"save_https_decryption_consent", "granted", RESULT_NULL, PAGE_INSTALL},
};

// The listed name; a name missing from the list does not compile.
consteval const char* page_command(std::string_view name) {
  for (const page_command_entry& entry : PAGE_COMMANDS)
    if (entry.name == name) return entry.name.data();
  throw "not a listed page command";
}

// True when a page's command table has one row for each listed command of that page and
// nothing else.
template <typename Row, size_t N>
constexpr bool page_table_matches(const Row (&table)[N], unsigned screen) {
  size_t listed = 0;
  for (const page_command_entry& entry : PAGE_COMMANDS) {
    if (!(entry.screens & screen)) continue;
    ++listed;
    size_t rows = 0;
    for (const Row& row : table) rows += entry.name == row.name;
    if (rows != 1) return false;
  }
  return listed == N;
}
