#include "base/http_session_win.h"

#include "base/bounded_text.h"
#include "base/log.h"
#include "base/product.h"
#include "base/wide_win.h"

namespace {

INIT_ONCE g_session_once = INIT_ONCE_STATIC_INIT;
HINTERNET g_session = nullptr;

// A FALSE result leaves the one-time initialisation unfinished, so a later call retries.
BOOL CALLBACK create_shared_session(PINIT_ONCE, PVOID, PVOID*) {
  char agent[64];
  text_format(agent, sizeof agent, "CorvaneInstaller/%s", INSTALLER_VERSION);
  g_session = http_session_open(agent);
  return g_session != nullptr;
}

}  // namespace

HINTERNET http_session_open(const char* user_agent) {
  wchar_t agent[64];
  if (utf8_to_wide(user_agent, agent, 64) != 0) return nullptr;
  HINTERNET session =
      WinHttpOpen(agent, WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session) log_warn("WinHttpOpen failed (err=%lu)", GetLastError());
  return session;
}

HINTERNET http_session_get() {
  InitOnceExecuteOnce(&g_session_once, create_shared_session, nullptr, nullptr);
  return g_session;
}

int http_crack_url(const char* url, http_target* out) {
  wchar_t wide[2048];
  wchar_t extra[1024] = L"";
  URL_COMPONENTS parts = {};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = out->host;
  parts.dwHostNameLength = 256;
  parts.lpszUrlPath = out->path;
  parts.dwUrlPathLength = 1024;
  parts.lpszExtraInfo = extra;
  parts.dwExtraInfoLength = 1024;
  if (utf8_to_wide(url, wide, 2048) != 0 || !WinHttpCrackUrl(wide, 0, 0, &parts)) return -1;
  if (wcslen(out->path) + wcslen(extra) >= 1024) return -1;
  wcscat(out->path, extra);
  out->port = parts.nPort;
  out->secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return 0;
}

int http_open_request(HINTERNET session, const http_target* target, const wchar_t* verb, winhttp_handle* connection,
                      winhttp_handle* request) {
  connection->reset(WinHttpConnect(session, target->host, target->port, 0));
  if (!*connection) return -1;
  request->reset(WinHttpOpenRequest(connection->get(), verb, target->path, nullptr, WINHTTP_NO_REFERER,
                                    WINHTTP_DEFAULT_ACCEPT_TYPES, target->secure ? WINHTTP_FLAG_SECURE : 0));
  return *request ? 0 : -1;
}

void http_set_timeouts(HINTERNET request, int resolve_ms, int connect_ms, int send_ms, int receive_ms) {
  WinHttpSetTimeouts(request, resolve_ms, connect_ms, send_ms, receive_ms);
  DWORD response_ms = static_cast<DWORD>(receive_ms);
  WinHttpSetOption(request, WINHTTP_OPTION_RECEIVE_RESPONSE_TIMEOUT, &response_ms, sizeof response_ms);
}

DWORD http_status_code(HINTERNET request) {
  DWORD status = 0, size = sizeof status;
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                           &status, &size, WINHTTP_NO_HEADER_INDEX))
    return 0;
  return status;
}

void http_discard_body(HINTERNET request) {
  char sink[4096];
  DWORD got = 0;
  while (WinHttpReadData(request, sink, sizeof sink, &got) && got > 0) {
  }
}
