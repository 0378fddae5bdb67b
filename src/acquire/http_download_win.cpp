#include <windows.h>
#include <winhttp.h>

#include <cstdint>

#include "acquire/download.h"
#include "acquire/rate_collapse.h"
#include "base/http_session_win.h"
#include "base/log.h"
#include "base/wide_win.h"

namespace {

constexpr int RESOLVE_MS = 10000, CONNECT_MS = 15000, SEND_MS = 15000, RECEIVE_MS = 15000;
constexpr DWORD WSA_TIMED_OUT = 10060;  // what Wine reports for a silent body instead of 12002

struct body_progress {
  download_progress_fn callback;
  void* context;
  int last_percent;
  void report(uint32_t total, uint32_t length) {
    int percent = download_percent(total, length);
    if (!callback || percent < 0 || percent == last_percent) return;
    callback(percent, context);
    last_percent = percent;
  }
};

// Steps up to the response headers; the destination is not touched here.
int receive_headers(HINTERNET request, const char* url, uint32_t* content_length) {
  http_set_timeouts(request, RESOLVE_MS, CONNECT_MS, SEND_MS, RECEIVE_MS);
  if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !WinHttpReceiveResponse(request, nullptr)) {
    log_warn("Download request failed (err=%lu): %s", GetLastError(), url);
    return -1;
  }
  DWORD status = http_status_code(request);
  if (status != 200) {
    log_warn("Download answered with HTTP %lu: %s", status, url);
    return -1;
  }
  DWORD length = 0, size = sizeof length;
  if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &length, &size, WINHTTP_NO_HEADER_INDEX))
    length = 0;
  *content_length = length;
  return 0;
}

int stream_body(HINTERNET request, HANDLE file, uint32_t length, body_progress* progress, int rate_check) {
  static thread_local char buffer[8192];
  uint32_t total = 0;
  rate_collapse_state rate;
  rate_collapse_begin(&rate, GetTickCount());
  for (;;) {
    DWORD got = 0;
    if (!WinHttpReadData(request, buffer, sizeof buffer, &got)) {
      DWORD err = GetLastError();
      if (err == ERROR_WINHTTP_TIMEOUT || err == WSA_TIMED_OUT)
        log_warn("Download stalled: no data for %u ms at %u of %u bytes — abandoning", static_cast<unsigned>(RECEIVE_MS),
                 total, length);
      else
        log_warn("Download read failed (err=%lu) at %u of %u bytes", err, total, length);
      return DOWNLOAD_FAILED;
    }
    if (got == 0) {
      if (length != 0 && total < length) {  // a connection closed early must not pass as a package
        log_warn("Download ended early at %u of %u bytes", total, length);
        return DOWNLOAD_FAILED;
      }
      if (progress->callback) progress->callback(100, progress->context);
      return DOWNLOAD_OK;
    }
    DWORD written = 0;
    if (!WriteFile(file, buffer, got, &written, nullptr) || written != got) {
      log_warn("Download write failed (err=%lu) at %u bytes", GetLastError(), total);
      return DOWNLOAD_FAILED;
    }
    total += got;
    if (rate_check && rate_collapse_feed(&rate, got, GetTickCount())) {
      log_warn("Download rate collapsed: %u B/s is under %u%% of this transfer's %u B/s peak for %ums at %u of %u "
               "bytes — trying the next URL",
               rate.last_rate, RATE_THRESHOLD_PERCENT, rate.peak, RATE_WINDOW_MS * RATE_LOW_WINDOWS, total, length);
      return DOWNLOAD_RATE_COLLAPSED;
    }
    progress->report(total, length);
  }
}

int fetch_into(HINTERNET request, const char* url, const wchar_t* dest, body_progress* progress, int rate_check,
               int* created) {
  uint32_t length = 0;
  if (receive_headers(request, url, &length) != 0) return DOWNLOAD_FAILED;
  // A new file only: the package is never written over a name someone else made.
  HANDLE file = CreateFileW(dest, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    log_warn("Download could not create its file (err=%lu)", GetLastError());
    return DOWNLOAD_FAILED;
  }
  *created = 1;
  if (progress->callback) progress->callback(0, progress->context);
  int result = stream_body(request, file, length, progress, rate_check);
  CloseHandle(file);
  return result;
}

}  // namespace

int http_download_file(const char* url, const char* dest_path, download_progress_fn callback, void* context,
                       int rate_check) {
  HINTERNET session = http_session_get();
  if (!session) return DOWNLOAD_FAILED;
  http_target target;
  wchar_t dest[MAX_PATH];
  if (http_crack_url(url, &target) != 0 || utf8_to_wide(dest_path, dest, MAX_PATH) != 0) return DOWNLOAD_FAILED;
  winhttp_handle connection(WinHttpConnect(session, target.host, target.port, 0));
  if (!connection) return DOWNLOAD_FAILED;
  winhttp_handle request(WinHttpOpenRequest(connection.get(), L"GET", target.path, nullptr, WINHTTP_NO_REFERER,
                                            WINHTTP_DEFAULT_ACCEPT_TYPES, target.secure ? WINHTTP_FLAG_SECURE : 0));
  body_progress progress{callback, context, -1};
  int created = 0;
  int result = request ? fetch_into(request.get(), url, dest, &progress, rate_check, &created) : DOWNLOAD_FAILED;
  request.reset();
  connection.reset();
  if (result != DOWNLOAD_OK && created) DeleteFileW(dest);  // a partial package must never be run
  return result;
}

int download_attempt(const char* label, const char* url, const char* dest_path, download_progress_fn progress,
                     void* context, int rate_check) {
  log_info("Download attempt (%s): %s", label, url);
  int result = http_download_file(url, dest_path, progress, context, rate_check);
  if (result == DOWNLOAD_OK)
    log_info("Download succeeded (%s): %s", label, url);
  else
    log_warn("Download failed (%s): %s", label, url);
  return result;
}
