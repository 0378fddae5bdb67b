// The WinHTTP plumbing shared by downloads, telemetry POSTs and the session fetch: the
// process-wide sessions, owned handles, URL cracking, time-outs and the proxy's sign-in
// (Windows layer).
#pragma once

#include <windows.h>
#include <winhttp.h>

#include "base/handle_win.h"

struct http_target;

// The process-wide session ("CorvaneInstaller/<version>") on the proxy that the person's
// settings choose for the target (http_proxy_win.h): one session per route, created on first
// use (safely when two threads ask at once) and never closed; null when it cannot be created,
// in which case the next call tries again.
HINTERNET http_session_get(const http_target* target);

// The same for a caller with another user agent (at most 63 characters).
HINTERNET http_session_get_as(const char* user_agent, const http_target* target);

using winhttp_handle = owned<closed_by<HINTERNET, WinHttpCloseHandle>>;

struct http_target {
  wchar_t host[256];
  wchar_t path[1024];  // path and query
  INTERNET_PORT port;
  int secure;
};

// Splits a UTF-8 URL; -1 when it cannot be converted or cracked.
int http_crack_url(const char* url, http_target* out);

// Connects and opens a request for verb on the target; -1 (handles left empty) on failure.
int http_open_request(HINTERNET session, const http_target* target, const wchar_t* verb, winhttp_handle* connection,
                      winhttp_handle* request);

// The four classic time-outs plus the receive-response time-out (set to the receive one):
// without the latter a server that accepts and never answers holds the request forever.
void http_set_timeouts(HINTERNET request, int resolve_ms, int connect_ms, int send_ms, int receive_ms);

// Sends the request and receives the response headers. A proxy that asks for sign-in (407) is
// answered once with the signed-in user's own credentials (integrated sign-in, at the low
// auto-logon policy) and the request sent again; a 407 after that is the caller's to report.
// 0 with *status set (0 when unreadable), -1 when no response arrived (last error kept).
int http_send_signed_in(HINTERNET request, const wchar_t* headers, void* body, DWORD body_length, DWORD* status);

// One response header's value as UTF-8 into out (present); unreadable when it cannot be read or
// does not fit whole.
enum class header_text { present, absent, unreadable };
header_text http_header_text(HINTERNET request, DWORD query, char* out, size_t size);

// The numeric status code, or 0 when it cannot be read.
DWORD http_status_code(HINTERNET request);

// Reads and throws away the rest of a response body (bounded by the receive time-out).
void http_discard_body(HINTERNET request);
