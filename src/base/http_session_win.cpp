#include "base/http_session_win.h"

#include <cstring>

#include "base/bounded_text.h"
#include "base/http_proxy_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "build_config.h"  // the user agent names this build's version

namespace {

constexpr int SESSION_SLOTS = 16;

struct session_slot {
  char agent[64];
  http_proxy_route route;
  HINTERNET session;
};

SRWLOCK g_lock = SRWLOCK_INIT;
session_slot g_slots[SESSION_SLOTS];
int g_used = 0;

bool same_route(const http_proxy_route& a, const http_proxy_route& b) {
  return a.access == b.access && !lstrcmpW(a.proxy, b.proxy) && !lstrcmpW(a.bypass, b.bypass);
}

HINTERNET find_session(const char* agent, const http_proxy_route& route) {
  for (int i = 0; i < g_used; ++i)
    if (!strcmp(g_slots[i].agent, agent) && same_route(g_slots[i].route, route)) return g_slots[i].session;
  return nullptr;
}

HINTERNET open_session(const char* user_agent, const http_proxy_route& route) {
  wchar_t agent[64];
  if (utf8_to_wide(user_agent, agent, 64) != 0) return nullptr;
  int named = route.access == WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  HINTERNET session = WinHttpOpen(agent, route.access, named ? route.proxy : WINHTTP_NO_PROXY_NAME,
                                  named && route.bypass[0] ? route.bypass : WINHTTP_NO_PROXY_BYPASS, 0);
  if (!session) log_warn("WinHttpOpen failed (err=%lu)", GetLastError());
  return session;
}

}  // namespace

HINTERNET http_session_get_as(const char* user_agent, const http_target* target) {
  http_proxy_route route;
  http_proxy_route_for(target, &route);
  AcquireSRWLockExclusive(&g_lock);
  HINTERNET session = find_session(user_agent, route);
  if (!session && g_used < SESSION_SLOTS && (session = open_session(user_agent, route)) != nullptr) {
    text_copy(g_slots[g_used].agent, user_agent);
    g_slots[g_used].route = route;
    g_slots[g_used++].session = session;
  }
  ReleaseSRWLockExclusive(&g_lock);
  return session;
}

HINTERNET http_session_get(const http_target* target) {
  char agent[64];
  text_format(agent, sizeof agent, "CorvaneInstaller/%s", INSTALLER_VERSION);
  return http_session_get_as(agent, target);
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

header_text http_header_text(HINTERNET request, DWORD query, char* out, size_t size) {
  wchar_t text[256];
  DWORD bytes = sizeof text;
  if (!WinHttpQueryHeaders(request, query, WINHTTP_HEADER_NAME_BY_INDEX, text, &bytes, WINHTTP_NO_HEADER_INDEX))
    return GetLastError() == ERROR_WINHTTP_HEADER_NOT_FOUND ? header_text::absent : header_text::unreadable;
  return wide_to_utf8(text, out, size) == 0 ? header_text::present : header_text::unreadable;
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
