#include "base/proxy_settings_win.h"

#include <windows.h>

#include "base/bounded_text.h"
#include "base/log.h"
#include "base/reg_view_win.h"

namespace {

constexpr const char* SETTINGS_KEY = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

proxy_user_fn g_finder = nullptr;
INIT_ONCE g_once = INIT_ONCE_STATIC_INIT;
proxy_settings g_settings;

int read_connection_value(HKEY root, const char* key_path, proxy_settings* out) {
  char path[512];
  if (!text_format(path, sizeof path, "%s\\Connections", key_path)) return -1;
  reg_key key;
  if (key.open(root, path, 0, KEY_QUERY_VALUE) != ERROR_SUCCESS) return -1;
  static BYTE data[8192];
  DWORD type = 0, size = sizeof data;
  if (RegQueryValueExW(key.get(), L"DefaultConnectionSettings", nullptr, &type, data, &size) != ERROR_SUCCESS ||
      type != REG_BINARY)
    return -1;
  if (proxy_settings_from_connection(data, size, out) != 0) {
    log_warn("Proxy settings: DefaultConnectionSettings is unreadable (%lu bytes) — using the older values", size);
    return -1;
  }
  return 0;
}

// One byte more than each field: a longer text arrives cut and is refused, never used cut.
void read_loose_values(HKEY root, const char* key_path, proxy_settings* out) {
  uint32_t enable = 0;
  static char server[PROXY_SERVER_SIZE + 1], bypass[PROXY_BYPASS_SIZE + 1], pac[PROXY_URL_SIZE + 1];
  reg_read_dword(root, key_path, REG_VIEW_64, "ProxyEnable", &enable);
  reg_read_text(root, key_path, REG_VIEW_64, "ProxyServer", server, sizeof server);
  reg_read_text(root, key_path, REG_VIEW_64, "ProxyOverride", bypass, sizeof bypass);
  reg_read_text(root, key_path, REG_VIEW_64, "AutoConfigURL", pac, sizeof pac);
  if (proxy_settings_from_values(enable, server, bypass, pac, out) != 0)
    log_warn("Proxy settings: a value is too long to use — ignoring the older values");
}

// The binary value is what the settings dialog keeps current; the loose values remain for
// policies and older tools that write only those.
void read_settings(HKEY root, const char* key_path, const char* whose) {
  const char* from = "DefaultConnectionSettings";
  if (read_connection_value(root, key_path, &g_settings) != 0) {
    read_loose_values(root, key_path, &g_settings);
    from = "ProxyEnable/ProxyServer/AutoConfigURL";
  }
  log_info("Proxy settings (%s, %s): auto-detect=%d, script=%s, manual=%s, bypass=%s", whose, from,
           g_settings.auto_detect, g_settings.use_pac ? g_settings.pac_url : "(none)",
           g_settings.use_manual ? g_settings.server : "(none)", g_settings.bypass[0] ? g_settings.bypass : "(none)");
}

BOOL CALLBACK load(PINIT_ONCE, PVOID, PVOID*) {
  char sid[192], key_path[512], whose[256];
  if (g_finder && g_finder(sid, sizeof sid) == 0 && text_format(key_path, sizeof key_path, "%s\\%s", sid, SETTINGS_KEY)) {
    text_format(whose, sizeof whose, "HKEY_USERS\\%s", sid);
    read_settings(HKEY_USERS, key_path, whose);
  } else {
    read_settings(HKEY_CURRENT_USER, SETTINGS_KEY, "HKEY_CURRENT_USER");
  }
  return TRUE;
}

}  // namespace

void proxy_settings_user(proxy_user_fn finder) { g_finder = finder; }

const proxy_settings* proxy_settings_get() {
  InitOnceExecuteOnce(&g_once, load, nullptr, nullptr);
  return &g_settings;
}
