// The browsers the machine and the user registered under StartMenuInternet, in the order
// HKLM then HKCU, each in its native and its WOW6432Node path, all read in the 64-bit view.
#include <windows.h>

#include <initializer_list>

#include "base/bounded_text.h"
#include "base/reg_key_win.h"
#include "base/reg_view_win.h"
#include "ui/commands/browser_discovery.h"

namespace {

constexpr size_t COMMAND_SIZE = 260;
constexpr size_t SUBKEY_PATH_SIZE = 320;

void add_entries_of(HKEY root, const char* path, browser_list* list) {
  registry_key clients;
  if (reg_open(root, path, KEY_READ, KEY_WOW64_64KEY, &clients) != ERROR_SUCCESS) return;
  char name[256];
  for (DWORD i = 0; list->count < BROWSERS_MAX; ++i) {
    LSTATUS status = reg_name_at(clients.get(), i, REG_SUBKEY_NAMES, name, sizeof name);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) break;  // the end, or a key we cannot walk
    char command_path[SUBKEY_PATH_SIZE], command[COMMAND_SIZE], registered[BROWSER_NAME_SIZE] = "";
    registry_key entry, open_command;
    if (status == ERROR_MORE_DATA ||
        !text_format(command_path, sizeof command_path, "%s\\shell\\open\\command", name) ||
        reg_open(clients.get(), command_path, KEY_READ, KEY_WOW64_64KEY, &open_command) != ERROR_SUCCESS ||
        reg_get_text(open_command.get(), nullptr, 1, command, sizeof command) != 0)
      continue;
    if (reg_open(clients.get(), name, KEY_READ, KEY_WOW64_64KEY, &entry) == ERROR_SUCCESS)
      reg_get_text(entry.get(), nullptr, 1, registered, sizeof registered);
    browser_list_add(list, command, registered);
  }
}

}  // namespace

void browsers_discover(browser_list* list) {
  list->count = 0;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER})
    for (const char* path :
         {"SOFTWARE\\Clients\\StartMenuInternet", "SOFTWARE\\WOW6432Node\\Clients\\StartMenuInternet"})
      add_entries_of(root, path, list);
}
