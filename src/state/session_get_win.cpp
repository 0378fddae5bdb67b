#include "state/session_get.h"

#include <windows.h>
#include <winhttp.h>

#include "base/bounded_text.h"
#include "base/http_session_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "product/product.h"
#include "state/session_response.h"

namespace {

// Keeps what was read when a read fails part-way: a partial answer still merges what it has.
void read_body(HINTERNET request, char* response, size_t size) {
  size_t used = 0;
  DWORD got = 0;
  while (used + 1 < size && WinHttpReadData(request, response + used, static_cast<DWORD>(size - 1 - used), &got) &&
         got > 0)
    used += got;
  response[used] = '\0';
}

int retry_after_delay(HINTERNET request) {
  wchar_t value[64];
  DWORD bytes = sizeof value;
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CUSTOM, L"Retry-After", value, &bytes, WINHTTP_NO_HEADER_INDEX))
    return session_retry_delay_ms(nullptr);
  char text[64];
  wide_to_utf8(value, text, sizeof text);
  return session_retry_delay_ms(text);
}

}  // namespace

int session_get(const char* host, const char* path_and_query, char* response, size_t size, int* retry_delay_ms) {
  char agent[64];
  text_format(agent, sizeof agent, "CorvaneInstaller/%s session-fetch", INSTALLER_VERSION);
  http_target target{};
  if (utf8_to_wide(host, target.host, 256) != 0 || utf8_to_wide(path_and_query, target.path, 1024) != 0) return -1;
  target.port = INTERNET_DEFAULT_HTTPS_PORT;
  target.secure = 1;
  HINTERNET session = http_session_get_as(agent, &target);
  if (!session) return -1;
  winhttp_handle connection, request;
  if (http_open_request(session, &target, L"GET", &connection, &request) != 0) return -1;
  http_set_timeouts(request.get(), 1000, 1500, 1500, 5000);
  DWORD code = 0;
  if (http_send_signed_in(request.get(), nullptr, nullptr, 0, &code) != 0) {
    log_debug("session_fetch: request failed (err=%lu)", GetLastError());
    return -1;
  }
  int status = static_cast<int>(code);
  if (status == 0) return -1;
  if (status == 200) {
    read_body(request.get(), response, size);
    return status;
  }
  if (status == 429 && retry_delay_ms) *retry_delay_ms = retry_after_delay(request.get());
  http_discard_body(request.get());
  return status;
}
