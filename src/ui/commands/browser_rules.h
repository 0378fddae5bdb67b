// The browsers offered on the onboarding page, as the machine registers them under
// StartMenuInternet: each entry's open command names the browser's executable, which becomes
// the key the product's settings use ("chrome.exe"), the icon name ("chrome") and, when the
// entry has no name of its own, the display name ("Chrome").
#pragma once

#include <cstddef>

constexpr size_t BROWSER_KEY_SIZE = 64;
constexpr size_t BROWSER_NAME_SIZE = 128;
constexpr size_t BROWSER_ICON_SIZE = 64;
constexpr int BROWSERS_MAX = 32;
constexpr size_t BROWSERS_JSON_SIZE = 4096;

struct browser_entry {
  char key[BROWSER_KEY_SIZE];
  char name[BROWSER_NAME_SIZE];
  char icon[BROWSER_ICON_SIZE];
};

struct browser_list {
  int count;
  browser_entry items[BROWSERS_MAX];
};

// The lower-cased executable name of an open command: after a leading quote, the text after
// the last backslash (else the last slash), at most 63 bytes, cut at a quote and just after
// ".exe" (any case).
void browser_key_from_command(const char* command, char* out, size_t size);

// Adds the browser of one entry (its open command and its own default value, which may be
// empty). Passed over: commands that give no key, Internet Explorer, keys already listed, and
// everything once 32 are listed. True when added.
bool browser_list_add(browser_list* list, const char* command, const char* registered_name);

// The JSON array of the listed browsers, [{"key":..,"name":..,"icon":..},...], values escaped;
// an element is appended only while the array text stays below 4094 bytes. Returns the number
// of elements in the array (out needs BROWSERS_JSON_SIZE).
int browsers_json(const browser_list* list, char* out, size_t size);
