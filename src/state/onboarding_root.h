// Where onboarding answers go: the interactive user's hive, the console user's hive when a
// management agent runs the setup as LocalSystem, or HKLM when nobody is signed in.
#pragma once

#include <cstddef>

enum onboarding_root_kind { ONBOARDING_ROOT_HKCU = 0, ONBOARDING_ROOT_USERS = 1, ONBOARDING_ROOT_HKLM = 2 };

constexpr size_t SID_TEXT_BUFFER = 128;

struct onboarding_root {
  onboarding_root_kind kind;
  char subkey[192];
  char browsers_subkey[208];
  char filters_subkey[208];
  char label[160];
  char console_sid[SID_TEXT_BUFFER];
};

// process_sid: the process token's user SID, null when it could not be read. console_sid: the
// console session user's SID, null when there is no console user or it could not be read.
void onboarding_root_plan(const char* process_sid, const char* console_sid, onboarding_root* out);
