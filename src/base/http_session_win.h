// The WinHTTP plumbing shared by downloads, telemetry POSTs and the session fetch: the one
// process-wide session, owned handles, URL cracking and time-outs (Windows layer).
#pragma once

#include <windows.h>
#include <winhttp.h>

// The process-wide session ("CorvaneInstaller/<version>", default proxy), created on first use
// (safely when two threads ask at once) and never closed; null when it cannot be created, in
// which case the next call tries again.
HINTERNET http_session_get();

// A session of its own for a caller with a different user agent; null on failure.
HINTERNET http_session_open(const char* user_agent);

// Closes the WinHTTP handle it owns on every path out of a scope.
class winhttp_handle {
 public:
  explicit winhttp_handle(HINTERNET h = nullptr) : h_(h) {}
  ~winhttp_handle() { reset(); }
  winhttp_handle(const winhttp_handle&) = delete;
  winhttp_handle& operator=(const winhttp_handle&) = delete;
  void reset(HINTERNET h = nullptr) {
    if (h_) WinHttpCloseHandle(h_);
    h_ = h;
  }
  HINTERNET get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }

 private:
  HINTERNET h_;
};

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

// The numeric status code, or 0 when it cannot be read.
DWORD http_status_code(HINTERNET request);

// Reads and throws away the rest of a response body (bounded by the receive time-out).
void http_discard_body(HINTERNET request);
