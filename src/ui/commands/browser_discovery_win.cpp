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
  reg_key clients;
  if (clients.open(root, path, REG_VIEW_64) != ERROR_SUCCESS) return;
  char name[256];
  for (DWORD i = 0; list->count < BROWSERS_MAX; ++i) {
    LSTATUS status = clients.name_at(i, REG_SUBKEY_NAMES, name, sizeof name);
    if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) break;  // the end, or a key we cannot walk
    char command_path[SUBKEY_PATH_SIZE], command[COMMAND_SIZE], registered[BROWSER_NAME_SIZE] = "";
    reg_key entry, open_command;
    if (status == ERROR_MORE_DATA ||
        !text_format(command_path, sizeof command_path, "%s\\shell\\open\\command", name) ||
        open_command.open(clients.get(), command_path, REG_VIEW_64) != ERROR_SUCCESS ||
        !reg_found_text(open_command.read_text(nullptr, command, sizeof command, /*allow_expand=*/true)))
      continue;
    if (entry.open(clients.get(), name, REG_VIEW_64) == ERROR_SUCCESS)
      entry.read_text(nullptr, registered, sizeof registered, /*allow_expand=*/true);
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
