// A page's link opens in the person's browser, started by the session's desktop shell as the
// person. Never by the shell inside this process: elevated, it would resolve the browser
// through the per-user class registration, which any process of the user can write, and run
// what it names as administrator. No desktop shell: nothing is opened.
#include <windows.h>

#include "base/json_field.h"
#include "base/log.h"
#include "install/launch_paths.h"
#include "ui/page_message.h"
#include "ui/ui_bridge.h"

namespace {

// A refused address as it may stand in the log: what no log line may carry (line breaks, other
// control characters) becomes '?', and only its start is kept.
void loggable(const char* url, char* out, size_t size) {
  size_t n = 0;
  for (; url[n] && n + 1 < size; ++n)
    out[n] = static_cast<unsigned char>(url[n]) < 0x20 || url[n] == 0x7f ? '?' : url[n];
  out[n] = '\0';
}

}  // namespace

void ui_open_url(const char* json, int32_t) {
  char url[UI_URL_MAX + 2];  // one more than allowed, so that a longer address is seen as such
  json_get_string(json, "url", url, sizeof url);
  if (!url[0]) return;
  if (!ui_url_may_open(url)) {
    char shown[200];
    loggable(url, shown, sizeof shown);
    log_write(LOG_UI, LOG_LEVEL_WARN,
              "open_url: refused %s (only an absolute http: or https: address of URL characters, at most %u, is "
              "opened)",
              shown, static_cast<unsigned>(UI_URL_MAX));
    return;
  }
  if (launch_via_desktop_shell(launch_default_seams(), url, nullptr, nullptr) == 0)
    log_write(LOG_UI, LOG_LEVEL_INFO, "open_url: launched external browser for %s (through the desktop shell)", url);
  else
    log_write(LOG_UI, LOG_LEVEL_WARN, "open_url: no desktop shell to open %s as the person; nothing opened", url);
}
