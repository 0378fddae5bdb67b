#include <windows.h>
#include <winhttp.h>

#include <cstdint>

#include "acquire/download.h"
#include "acquire/download_limit.h"
#include "acquire/download_resume.h"
#include "acquire/rate_collapse.h"
#include "base/handle_win.h"
#include "base/http_session_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "product/product.h"

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
  char narrow[32];
  header_text found = http_header_text(request, WINHTTP_QUERY_CONTENT_LENGTH, narrow, sizeof narrow);
  if (found == header_text::absent) return 0;
  return found == header_text::present ? content_length_value(narrow, length) : -1;
}

// One URL's tries share the file, held open without sharing between them so that nothing can
// take its place, and what the whole answer said about asking for its rest.
struct transfer {
  const char* url;
  const wchar_t* dest;
  uint64_t max_bytes;
  int rate_check;
  body_progress progress;
  kernel_handle file;
  uint64_t on_disk;  // bytes written and kept
  uint64_t length;   // the whole file's, 0 when unknown
  resume_offer offer;
  int proxy_refused;  // the proxy still asked for sign-in after the signed-in user's own
};

void read_offer(HINTERNET request, transfer* t) {
  char ranges[64], etag[RESUME_VALIDATOR_SIZE], modified[RESUME_VALIDATOR_SIZE];
  auto read = [request](DWORD query, char* out, size_t size) -> const char* {
    return http_header_text(request, query, out, size) == header_text::present ? out : nullptr;
  };
  resume_offer_read(read(WINHTTP_QUERY_ACCEPT_RANGES, ranges, sizeof ranges),
                    read(WINHTTP_QUERY_ETAG, etag, sizeof etag),
                    read(WINHTTP_QUERY_LAST_MODIFIED, modified, sizeof modified), &t->offer);
}

// Back to an empty file for an answer that starts from the first byte again.
int empty_file(transfer* t) {
  t->on_disk = 0;
  t->progress.last_percent = -1;
  if (!t->file) return 0;
  HANDLE file = t->file.get();
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER || !SetEndOfFile(file)) {
    log_warn("Download could not empty its file to start over (err=%lu)", GetLastError());
    return -1;
  }
  return 0;
}

// What a ranged answer means for the file: append, start over with this body, or neither.
try_end judge_ranged_answer(HINTERNET request, DWORD status, transfer* t) {
  char range[96] = "";
  if (http_header_text(request, WINHTTP_QUERY_CONTENT_RANGE, range, sizeof range) == header_text::unreadable)
    range[0] = '\0';
  switch (resume_answer(status, range[0] ? range : nullptr, t->on_disk, &t->length)) {
    case RANGE_APPEND:
      log_info("Download resumed: Content-Range %s", range);
      return TRY_COMPLETE;
    case RANGE_WHOLE:
      log_warn("Download resume answered with the whole file (HTTP 200) — starting over: %s", t->url);
      read_offer(request, t);
      return empty_file(t) == 0 ? TRY_COMPLETE : TRY_REFUSED;
    case RANGE_MISMATCH:
      log_warn("Download resume answered with other bytes (Content-Range: %s) — starting over: %s", range, t->url);
      return TRY_WRONG_RANGE;
    default:
      log_warn("Download answered with HTTP %lu: %s", status, t->url);
      return TRY_REFUSED;
  }
}

// Steps up to the response headers; the destination is not touched here but to empty it when
// a ranged request is answered with the whole file. TRY_COMPLETE: read the body.
try_end receive_headers(HINTERNET request, const wchar_t* extra_headers, transfer* t, uint64_t* body_length) {
  http_set_timeouts(request, RESOLVE_MS, CONNECT_MS, SEND_MS, RECEIVE_MS);
  DWORD status = 0;
  if (http_send_signed_in(request, extra_headers, nullptr, 0, &status) != 0) {
    log_warn("Download request failed (err=%lu): %s", GetLastError(), t->url);
    return TRY_REFUSED;
  }
  if (status == 407) {
    log_warn("Download refused by the proxy: proxy authentication required: %s", t->url);
    t->proxy_refused = 1;
    return TRY_REFUSED;
  }
  if (extra_headers) {
    try_end end = judge_ranged_answer(request, status, t);
    if (end != TRY_COMPLETE) return end;
  } else if (status != 200) {
    log_warn("Download answered with HTTP %lu: %s", status, t->url);
    return TRY_REFUSED;
  } else {
    read_offer(request, t);
  }
  if (content_length(request, body_length) != 0) {
    log_warn("Download refused: its Content-Length is not a number: %s", t->url);
    return TRY_REFUSED;
  }
  if (t->on_disk == 0) t->length = *body_length;
  if (t->length == 0 && *body_length != 0) t->length = t->on_disk + *body_length;  // a rest of unknown whole
  if (t->on_disk == 0 && *body_length > t->max_bytes) {
    log_warn("Download refused: its Content-Length of %llu bytes is over the maximum of %llu: %s",
             static_cast<unsigned long long>(*body_length), static_cast<unsigned long long>(t->max_bytes), t->url);
    return TRY_REFUSED;
  }
  if (download_passes_limit(t->on_disk, *body_length, t->max_bytes) || t->length > t->max_bytes) {
    log_warn("Download refused: its rest of %llu bytes (of %llu) after %llu on disk passes the maximum of %llu: %s",
             static_cast<unsigned long long>(*body_length), static_cast<unsigned long long>(t->length),
             static_cast<unsigned long long>(t->on_disk), static_cast<unsigned long long>(t->max_bytes), t->url);
    return TRY_REFUSED;
  }
  return TRY_COMPLETE;
}

// Appends the body to the bytes on disk; *end says what the next try can make of a failure.
download_result stream_body(HINTERNET request, transfer* t, try_end* end) {
  static thread_local char buffer[8192];
  uint64_t& total = t->on_disk;
  const uint64_t length = t->length;
  *end = TRY_REFUSED;
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
      *end = TRY_BROKE;
      return download_result::failed;
    }
    if (got == 0) {
      if (length != 0 && total < length) {  // a connection closed early must not pass as a package
        log_warn("Download ended early at %llu of %llu bytes", static_cast<unsigned long long>(total),
                 static_cast<unsigned long long>(length));
        *end = TRY_BROKE;
        return download_result::failed;
      }
      if (t->progress.callback) t->progress.callback(100, t->progress.context);
      *end = TRY_COMPLETE;
      return download_result::ok;
    }
    if (download_passes_limit(total, got, t->max_bytes)) {
      log_warn("Download cut off: its body passes the maximum of %llu bytes",
               static_cast<unsigned long long>(t->max_bytes));
      return download_result::failed;
    }
    DWORD written = 0;
    if (!WriteFile(t->file.get(), buffer, got, &written, nullptr) || written != got) {
      log_warn("Download write failed (err=%lu) at %llu bytes", GetLastError(), static_cast<unsigned long long>(total));
      return download_result::failed;
    }
    total += got;
    if (t->rate_check && rate_collapse_feed(&rate, got, GetTickCount())) {
      log_warn("Download rate collapsed: %u B/s is under %u%% of this transfer's %u B/s peak for %ums at %llu of %llu "
               "bytes — trying the next URL",
               rate.last_rate, RATE_THRESHOLD_PERCENT, rate.peak, RATE_WINDOW_MS * RATE_LOW_WINDOWS,
               static_cast<unsigned long long>(total), static_cast<unsigned long long>(length));
      return download_result::rate_collapsed;
    }
    t->progress.report(total, length);
  }
}

// One request of the URL, whole or (ranged) for the rest of the file on disk.
download_result fetch_try(HINTERNET connection, const http_target* target, transfer* t, int ranged,
                          try_end* end) {
  *end = TRY_REFUSED;
  wchar_t headers[RESUME_VALIDATOR_SIZE + 64];
  if (ranged) {
    char narrow[RESUME_VALIDATOR_SIZE + 64];
    if (resume_request_headers(&t->offer, t->on_disk, narrow, sizeof narrow) != 0 ||
        utf8_to_wide(narrow, headers, RESUME_VALIDATOR_SIZE + 64) != 0)
      return download_result::failed;
  }
  winhttp_handle request(WinHttpOpenRequest(connection, L"GET", target->path, nullptr, WINHTTP_NO_REFERER,
                                            WINHTTP_DEFAULT_ACCEPT_TYPES, target->secure ? WINHTTP_FLAG_SECURE : 0));
  uint64_t body_length = 0;
  if (!request) return download_result::failed;
  *end = receive_headers(request.get(), ranged ? headers : nullptr, t, &body_length);
  if (*end != TRY_COMPLETE) return t->proxy_refused ? download_result::proxy_auth_required : download_result::failed;
  if (!t->file) {
    // A new file only: the package is never written over a name someone else made.
    t->file.reset(CreateFileW(t->dest, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!t->file) {
      log_warn("Download could not create its file (err=%lu)", GetLastError());
      *end = TRY_REFUSED;
      return download_result::failed;
    }
  }
  if (t->on_disk == 0 && t->progress.callback) t->progress.callback(0, t->progress.context);
  return stream_body(request.get(), t, end);
}

// The first try and, where the server allows, up to two more that take up the file where the
// last one broke (or start it over when an answer does not continue it).
download_result fetch_with_resumes(HINTERNET connection, const http_target* target, transfer* t) {
  try_end end = TRY_REFUSED;
  download_result result = fetch_try(connection, target, t, 0, &end);
  for (int left = DOWNLOAD_MAX_RESUMES; result != download_result::ok; --left) {
    resume_step step = resume_next_step(end, &t->offer, t->on_disk, t->length, left);
    if (step == RESUME_GIVE_UP) return result;
    int attempt = DOWNLOAD_MAX_RESUMES - left + 1;
    if (step == RESUME_FROM_DISK) {
      log_info("Download resuming at %llu of %llu bytes (resume %d of %d): %s",
               static_cast<unsigned long long>(t->on_disk), static_cast<unsigned long long>(t->length), attempt,
               DOWNLOAD_MAX_RESUMES, t->url);
    } else {
      log_info("Download starting over (resume %d of %d): %s", attempt, DOWNLOAD_MAX_RESUMES, t->url);
      if (empty_file(t) != 0) return download_result::failed;
    }
    result = fetch_try(connection, target, t, step == RESUME_FROM_DISK, &end);
  }
  return result;
}

}  // namespace

download_result http_download_file(const char* url, const char* dest_path, download_progress_fn callback,
                                   void* context, int rate_check, uint64_t max_bytes) {
  http_target target;
  wchar_t dest[MAX_PATH];
  if (http_crack_url(url, &target) != 0 || utf8_to_wide(dest_path, dest, MAX_PATH) != 0) return download_result::failed;
  HINTERNET session = http_session_get(&target);
  if (!session) return download_result::failed;
  winhttp_handle connection(WinHttpConnect(session, target.host, target.port, 0));
  if (!connection) return download_result::failed;
  transfer t{url, dest, max_bytes, rate_check, {callback, context, -1}, {}, 0, 0, {}, 0};
  download_result result = fetch_with_resumes(connection.get(), &target, &t);
  connection.reset();
  if (t.file) {
    t.file.reset();
    if (result != download_result::ok) DeleteFileW(dest);  // a partial package must never be run
  }
  return result;
}

download_result download_attempt(const char* label, const char* url, const char* dest_path,
                                 download_progress_fn progress, void* context, int rate_check) {
  log_info("Download attempt (%s): %s", label, url);
  download_result result = http_download_file(url, dest_path, progress, context, rate_check, MAX_PACKAGE_BYTES);
  if (result == download_result::ok)
    log_info("Download succeeded (%s): %s", label, url);
  else
    log_warn("Download failed (%s): %s", label, url);
  return result;
}
