#include <windows.h>

#include <cwchar>

#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "state/motw.h"

namespace {

void publish(const motw_result& r, char* host_prefix, char* sid, char* host_domain) {
  text_copy(host_prefix, sizeof r.host_prefix, r.host_prefix);
  text_copy(sid, sizeof r.sid, r.sid);
  text_copy(host_domain, sizeof r.host_domain, r.host_domain);
}

}  // namespace

void motw_read_for(const wchar_t* exe_path, char* host_prefix, char* sid, char* host_domain) {
  host_prefix[0] = sid[0] = host_domain[0] = '\0';
  size_t length = exe_path ? wcslen(exe_path) : 0;
  if (length == 0 || length > 259) return;
  wchar_t stream_name[MAX_PATH + 32];
  swprintf(stream_name, sizeof stream_name / sizeof stream_name[0], L"%ls:Zone.Identifier", exe_path);
  kernel_handle stream(CreateFileW(stream_name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!stream.valid()) {
    log_debug("motw_read: no :Zone.Identifier ADS (last_error=%lu)", GetLastError());
    return;
  }
  static_assert(MOTW_READ_LIMIT < MOTW_TEXT_BUFFER, "decoded text must hold every byte read");
  uint8_t raw[MOTW_READ_LIMIT];
  DWORD got = 0;
  if (!ReadFile(stream.get(), raw, sizeof raw, &got, nullptr)) {
    log_warn("motw_read: ReadFile failed (last_error=%lu)", GetLastError());
    return;
  }
  if (got == 0) return;
  char text[MOTW_TEXT_BUFFER];
  motw_text_from_bytes(raw, got, text, sizeof text);
  if (!text[0]) {
    log_warn("motw_read: ADS read but decoded to empty (raw=%d)", static_cast<int>(got));
    return;
  }
  motw_result result;
  motw_parse(text, &result);
  publish(result, host_prefix, sid, host_domain);
  log_info("motw_read: ads=%d bytes, host_prefix=\"%s\", host_domain=\"%s\", sid=\"%s\"", static_cast<int>(got),
           result.host_prefix, result.host_domain, result.sid);
}

void motw_read(char* host_prefix, char* sid, char* host_domain) {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) {
    host_prefix[0] = sid[0] = host_domain[0] = '\0';
    return;
  }
  motw_read_for(path, host_prefix, sid, host_domain);
}
