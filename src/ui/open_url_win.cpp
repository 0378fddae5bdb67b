// A page's link opens in the person's browser. Only web addresses are handed to the shell: this
// process is elevated, and the shell would open anything else (a program path, a file: address,
// another protocol's handler) with its rights.
#include <windows.h>
#include <shellapi.h>

#include "base/json_field.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "ui/page_message.h"
#include "ui/ui_bridge.h"

namespace {
constexpr size_t URL_SIZE = 512;
}  // namespace

void ui_open_url(const char* json, int32_t) {
  char url[URL_SIZE];
  json_get_string(json, "url", url, sizeof url);
  if (!url[0]) return;
  if (!ui_url_is_web(url)) {
    log_write(LOG_UI, LOG_LEVEL_WARN, "open_url: refused %s (only http: and https: addresses are opened)", url);
    return;
  }
  wchar_t wide[URL_SIZE];
  if (utf8_to_wide(url, wide, URL_SIZE) != 0) return;
  auto result = reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, L"open", wide, nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32)
    log_write(LOG_UI, LOG_LEVEL_INFO, "open_url: launched external browser for %s", url);
  else
    log_write(LOG_UI, LOG_LEVEL_WARN, "open_url: ShellExecute failed for %s (code=%ld)", url,
              static_cast<long>(result));
}
