#include <windows.h>
#include <winhttp.h>

#include <cstdint>

#include "acquire/download.h"
#include "acquire/download_limit.h"
#include "acquire/rate_collapse.h"
#include "base/http_session_win.h"
#include "base/log.h"
#include "base/product.h"
#include "base/wide_win.h"

namespace {

constexpr int RESOLVE_MS = 10000, CONNECT_MS = 15000, SEND_MS = 15000, RECEIVE_MS = 15000;
constexpr DWORD WSA_TIMED_OUT = 10060;  // what Wine reports for a silent body instead of 12002

struct body_progress {
  download_progress_fn callback;
  void* context;
  int last_percent;
  void report(uint64_t total, uint64_t length) {
    int percent = download_percent(total, length);
    if (!callback || percent < 0 || percent == last_percent) return;
    callback(percent, context);
    last_percent = percent;
  }
};

// The Content-Length header as a number, 0 when there is none. Read as text: the numeric
// query gives 32 bits, and a length over 4 GiB must not read as a small one.
int content_length(HINTERNET request, uint64_t* length) {
  *length = 0;
  wchar_t text[32];
  DWORD size = sizeof text;
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX, text, &size,
                           WINHTTP_NO_HEADER_INDEX))
    return GetLastError() == ERROR_WINHTTP_HEADER_NOT_FOUND ? 0 : -1;
  char narrow[32];
  return wide_to_utf8(text, narrow, sizeof narrow) == 0 ? content_length_value(narrow, length) : -1;
}

// Steps up to the response headers; the destination is not touched here.
int receive_headers(HINTERNET request, const char* url, uint64_t max_bytes, uint64_t* length) {
  http_set_timeouts(request, RESOLVE_MS, CONNECT_MS, SEND_MS, RECEIVE_MS);
  DWORD status = 0;
  if (http_send_signed_in(request, nullptr, nullptr, 0, &status) != 0) {
    log_warn("Download request failed (err=%lu): %s", GetLastError(), url);
    return DOWNLOAD_FAILED;
  }
  if (status == 407) {
    log_warn("Download refused by the proxy: proxy authentication required: %s", url);
    return DOWNLOAD_PROXY_AUTH_REQUIRED;
  }
  if (status != 200) {
    log_warn("Download answered with HTTP %lu: %s", status, url);
    return -1;
  }
  if (content_length(request, length) != 0) {
    log_warn("Download refused: its Content-Length is not a number: %s", url);
    return -1;
  }
  if (*length > max_bytes) {
    log_warn("Download refused: its Content-Length of %llu bytes is over the maximum of %llu: %s",
             static_cast<unsigned long long>(*length), static_cast<unsigned long long>(max_bytes), url);
    return -1;
  }
  return 0;
}

int stream_body(HINTERNET request, HANDLE file, uint64_t length, uint64_t max_bytes, body_progress* progress,
                int rate_check) {
  static thread_local char buffer[8192];
  uint64_t total = 0;
  rate_collapse_state rate;
  rate_collapse_begin(&rate, GetTickCount());
  for (;;) {
    DWORD got = 0;
    if (!WinHttpReadData(request, buffer, sizeof buffer, &got)) {
      DWORD err = GetLastError();
      if (err == ERROR_WINHTTP_TIMEOUT || err == WSA_TIMED_OUT)
        log_warn("Download stalled: no data for %u ms at %llu of %llu bytes — abandoning",
                 static_cast<unsigned>(RECEIVE_MS), static_cast<unsigned long long>(total),
                 static_cast<unsigned long long>(length));
      else
        log_warn("Download read failed (err=%lu) at %llu of %llu bytes", err, static_cast<unsigned long long>(total),
                 static_cast<unsigned long long>(length));
      return DOWNLOAD_FAILED;
    }
    if (got == 0) {
      if (length != 0 && total < length) {  // a connection closed early must not pass as a package
        log_warn("Download ended early at %llu of %llu bytes", static_cast<unsigned long long>(total),
                 static_cast<unsigned long long>(length));
        return DOWNLOAD_FAILED;
      }
      if (progress->callback) progress->callback(100, progress->context);
      return DOWNLOAD_OK;
    }
    if (download_passes_limit(total, got, max_bytes)) {
      log_warn("Download cut off: its body passes the maximum of %llu bytes", static_cast<unsigned long long>(max_bytes));
      return DOWNLOAD_FAILED;
    }
    DWORD written = 0;
    if (!WriteFile(file, buffer, got, &written, nullptr) || written != got) {
      log_warn("Download write failed (err=%lu) at %llu bytes", GetLastError(), static_cast<unsigned long long>(total));
      return DOWNLOAD_FAILED;
    }
    total += got;
    if (rate_check && rate_collapse_feed(&rate, got, GetTickCount())) {
      log_warn("Download rate collapsed: %u B/s is under %u%% of this transfer's %u B/s peak for %ums at %llu of %llu "
               "bytes — trying the next URL",
               rate.last_rate, RATE_THRESHOLD_PERCENT, rate.peak, RATE_WINDOW_MS * RATE_LOW_WINDOWS,
               static_cast<unsigned long long>(total), static_cast<unsigned long long>(length));
      return DOWNLOAD_RATE_COLLAPSED;
    }
    progress->report(total, length);
  }
}

int fetch_into(HINTERNET request, const char* url, const wchar_t* dest, uint64_t max_bytes, body_progress* progress,
               int rate_check, int* created) {
  uint64_t length = 0;
  int headers = receive_headers(request, url, max_bytes, &length);
  if (headers != 0) return headers;
  // A new file only: the package is never written over a name someone else made.
  HANDLE file = CreateFileW(dest, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    log_warn("Download could not create its file (err=%lu)", GetLastError());
    return DOWNLOAD_FAILED;
  }
  *created = 1;
  if (progress->callback) progress->callback(0, progress->context);
  int result = stream_body(request, file, length, max_bytes, progress, rate_check);
  CloseHandle(file);
  return result;
}

}  // namespace

int http_download_file(const char* url, const char* dest_path, download_progress_fn callback, void* context,
                       int rate_check, uint64_t max_bytes) {
  http_target target;
  wchar_t dest[MAX_PATH];
  if (http_crack_url(url, &target) != 0 || utf8_to_wide(dest_path, dest, MAX_PATH) != 0) return DOWNLOAD_FAILED;
  HINTERNET session = http_session_get(&target);
  if (!session) return DOWNLOAD_FAILED;
  winhttp_handle connection(WinHttpConnect(session, target.host, target.port, 0));
  if (!connection) return DOWNLOAD_FAILED;
  winhttp_handle request(WinHttpOpenRequest(connection.get(), L"GET", target.path, nullptr, WINHTTP_NO_REFERER,
                                            WINHTTP_DEFAULT_ACCEPT_TYPES, target.secure ? WINHTTP_FLAG_SECURE : 0));
  body_progress progress{callback, context, -1};
  int created = 0;
  int result =
      request ? fetch_into(request.get(), url, dest, max_bytes, &progress, rate_check, &created) : DOWNLOAD_FAILED;
  request.reset();
  connection.reset();
  if (result != DOWNLOAD_OK && created) DeleteFileW(dest);  // a partial package must never be run
  return result;
}

int download_attempt(const char* label, const char* url, const char* dest_path, download_progress_fn progress,
                     void* context, int rate_check) {
  log_info("Download attempt (%s): %s", label, url);
  int result = http_download_file(url, dest_path, progress, context, rate_check, MAX_PACKAGE_BYTES);
  if (result == DOWNLOAD_OK)
    log_info("Download succeeded (%s): %s", label, url);
  else
    log_warn("Download failed (%s): %s", label, url);
  return result;
}
