#include "base/http_proxy_win.h"

#include <cstdlib>
#include <cstring>

#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/proxy_config.h"
#include "base/proxy_settings_win.h"
#include "base/wide_win.h"

namespace {

// WPAD asks DHCP and DNS and a script may sit on a slow server: one bounded wait per
// question, and a source that failed once is not asked again this run, so telemetry keeps
// its shut-down bound.
constexpr DWORD SCRIPT_WAIT_MS = 5000;
constexpr int SCRIPT_TIMEOUT_MS = 3000;
constexpr int CACHE_SIZE = 32;

struct cached_route {
  wchar_t key[300];  // "scheme://host"
  http_proxy_route route;
};

SRWLOCK g_lock = SRWLOCK_INIT;
cached_route g_cache[CACHE_SIZE];
int g_cached = 0;
volatile LONG g_source_failed[PROXY_SOURCE_COUNT];

// What the script thread needs; freed by whichever of the two lets go last, as the caller
// stops waiting after SCRIPT_WAIT_MS while WinHTTP may still be busy.
struct script_query {
  volatile LONG references;
  wchar_t url[1400];
  wchar_t pac_url[PROXY_URL_SIZE];
  int auto_detect;
  BOOL found;
  DWORD error;
  WINHTTP_PROXY_INFO info;
};

void release(script_query* query) {
  if (InterlockedDecrement(&query->references) != 0) return;
  if (query->info.lpszProxy) GlobalFree(query->info.lpszProxy);
  if (query->info.lpszProxyBypass) GlobalFree(query->info.lpszProxyBypass);
  free(query);
}

INIT_ONCE g_script_once = INIT_ONCE_STATIC_INIT;
HINTERNET g_script_session = nullptr;

// The session that fetches scripts: never through a proxy, and never closed, as a thread that
// outlived its wait may still use it.
BOOL CALLBACK open_script_session(PINIT_ONCE, PVOID, PVOID*) {
  g_script_session = WinHttpOpen(L"CorvaneInstaller proxy", WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME,
                                 WINHTTP_NO_PROXY_BYPASS, 0);
  if (g_script_session)
    WinHttpSetTimeouts(g_script_session, SCRIPT_TIMEOUT_MS, SCRIPT_TIMEOUT_MS, SCRIPT_TIMEOUT_MS, SCRIPT_TIMEOUT_MS);
  return TRUE;
}

HINTERNET script_session() {
  InitOnceExecuteOnce(&g_script_once, open_script_session, nullptr, nullptr);
  return g_script_session;
}

DWORD WINAPI run_script(LPVOID parameter) {
  script_query* query = static_cast<script_query*>(parameter);
  WINHTTP_AUTOPROXY_OPTIONS options = {};
  if (query->auto_detect) {
    options.dwFlags = WINHTTP_AUTOPROXY_AUTO_DETECT;
    options.dwAutoDetectFlags = WINHTTP_AUTO_DETECT_TYPE_DHCP | WINHTTP_AUTO_DETECT_TYPE_DNS_A;
  } else {
    options.dwFlags = WINHTTP_AUTOPROXY_CONFIG_URL;
    options.lpszAutoConfigUrl = query->pac_url;
  }
  options.fAutoLogonIfChallenged = TRUE;
  HINTERNET session = script_session();
  query->found = session && WinHttpGetProxyForUrl(session, query->url, &options, &query->info);
  query->error = query->found ? 0 : (session ? GetLastError() : ERROR_OUTOFMEMORY);
  release(query);
  return 0;
}

// The script's answer as a route; -1 when a name is too long to keep whole (a cut proxy name
// would name another host).
int take_answer(const WINHTTP_PROXY_INFO* info, http_proxy_route* out) {
  out->proxy[0] = out->bypass[0] = L'\0';
  out->access = WINHTTP_ACCESS_TYPE_NO_PROXY;
  if (info->lpszProxyBypass && lstrlenW(info->lpszProxyBypass) >= 1024) return -1;
  if (info->lpszProxyBypass) lstrcpyW(out->bypass, info->lpszProxyBypass);
  if (info->dwAccessType != WINHTTP_ACCESS_TYPE_NAMED_PROXY || !info->lpszProxy) return 0;
  if (lstrlenW(info->lpszProxy) >= 512) return -1;
  lstrcpyW(out->proxy, info->lpszProxy);
  out->access = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  return 0;
}

// Runs the question on a thread of its own and waits a bounded time; 0 with the query's
// answer, -1 with note saying why not.
int run_bounded(script_query* query, char* note, size_t note_size) {
  query->references = 2;
  kernel_handle thread(CreateThread(nullptr, 0, run_script, query, 0, nullptr));
  if (!thread) {
    query->references = 1;
    text_format(note, note_size, "no thread (err=%lu)", GetLastError());
    return -1;
  }
  int finished = WaitForSingleObject(thread.get(), SCRIPT_WAIT_MS) == WAIT_OBJECT_0;
  if (!finished)
    text_format(note, note_size, "no answer within %lu ms", SCRIPT_WAIT_MS);
  else if (!query->found)
    text_format(note, note_size, "failed (err=%lu)", query->error);
  return finished && query->found ? 0 : -1;
}

// 0 with out filled from auto-detection or the script; -1 with note saying why not. A source
// that failed is not asked again this run.
int ask_script(proxy_source source, const char* url, const char* label, http_proxy_route* out, char* note,
               size_t note_size) {
  if (g_source_failed[source]) {
    text_copy(note, note_size, "failed earlier in this run");
    return -1;
  }
  script_query* query = static_cast<script_query*>(calloc(1, sizeof(script_query)));
  if (!query || utf8_to_wide(url, query->url, 1400) != 0 ||
      utf8_to_wide(proxy_settings_get()->pac_url, query->pac_url, PROXY_URL_SIZE) != 0) {
    free(query);
    text_copy(note, note_size, "its address does not convert");
    return -1;
  }
  query->auto_detect = source == PROXY_SOURCE_AUTO_DETECT;
  int result = run_bounded(query, note, note_size);
  if (result == 0 && take_answer(&query->info, out) != 0) {
    text_copy(note, note_size, "answered a proxy name too long to use");
    result = -1;
  }
  if (result != 0) {
    log_warn("Proxy for %s: %s %s — trying the next source", label, proxy_source_name(source), note);
    InterlockedExchange(&g_source_failed[source], 1);
  }
  release(query);
  return result;
}

void from_manual(const proxy_settings* settings, const http_target* target, const char* host, char* choice,
                 size_t choice_size, http_proxy_route* out) {
  char proxy[PROXY_SERVER_SIZE];
  const char* reason = nullptr;
  const char* scheme = target->secure ? "https" : "http";
  out->proxy[0] = out->bypass[0] = L'\0';
  if (proxy_manual_choice(settings, scheme, host, proxy, sizeof proxy, &reason) == PROXY_MANUAL_DIRECT ||
      utf8_to_wide(proxy, out->proxy, 512) != 0) {
    out->access = WINHTTP_ACCESS_TYPE_NO_PROXY;
    text_format(choice, choice_size, "direct (manual proxy: %s)", reason ? reason : "its name does not convert");
    return;
  }
  out->access = WINHTTP_ACCESS_TYPE_NAMED_PROXY;
  text_format(choice, choice_size, "%s (manual proxy)", proxy);
}

void script_choice(proxy_source source, const http_proxy_route* route, char* choice, size_t choice_size) {
  char proxy[512];
  if (route->access != WINHTTP_ACCESS_TYPE_NAMED_PROXY || wide_to_utf8(route->proxy, proxy, sizeof proxy) != 0)
    text_copy(proxy, "direct");
  text_format(choice, choice_size, "%s (%s)", proxy, proxy_source_name(source));
}

// The first source of the settings that answers decides; the line names it and what the
// sources before it said.
void resolve(const http_target* target, http_proxy_route* out) {
  char host[256], url[1400], label[300], choice[600] = "", passed[600] = "", note[128];
  if (wide_to_utf8(target->host, host, sizeof host) != 0) host[0] = '\0';
  const char* scheme = target->secure ? "https" : "http";
  text_format(label, sizeof label, "%s://%s", scheme, host);
  text_format(url, sizeof url, "%s://%s/", scheme, host);
  const proxy_settings* settings = proxy_settings_get();
  for (int i = 0; i < PROXY_SOURCE_COUNT && !choice[0]; ++i) {
    proxy_source source = static_cast<proxy_source>(i);
    const char* skip = proxy_source_skip_reason(settings, source);
    if (!skip && source == PROXY_SOURCE_MANUAL) {
      from_manual(settings, target, host, choice, sizeof choice, out);
    } else if (!skip && ask_script(source, url, label, out, note, sizeof note) == 0) {
      script_choice(source, out, choice, sizeof choice);
    } else {
      char piece[200];
      text_format(piece, sizeof piece, "%s%s %s", passed[0] ? ", " : "", proxy_source_name(source), skip ? skip : note);
      text_append(passed, piece);
    }
  }
  if (!choice[0]) {
    out->access = WINHTTP_ACCESS_TYPE_DEFAULT_PROXY;
    out->proxy[0] = out->bypass[0] = L'\0';
    text_copy(choice, "WinHTTP's machine setting (direct where none is set)");
  }
  log_info("Proxy for %s: %s%s%s", label, choice, passed[0] ? "; passed over: " : "", passed);
}

void cache_key(const http_target* target, wchar_t* key, size_t count) {
  lstrcpynW(key, target->secure ? L"s:" : L"h:", static_cast<int>(count));
  lstrcpynW(key + 2, target->host, static_cast<int>(count - 2));
}

int cached(const wchar_t* key, http_proxy_route* out) {
  for (int i = 0; i < g_cached; ++i)
    if (!lstrcmpiW(g_cache[i].key, key)) {
      *out = g_cache[i].route;
      return 1;
    }
  return 0;
}

}  // namespace

void http_proxy_route_for(const http_target* target, http_proxy_route* out) {
  wchar_t key[300];
  cache_key(target, key, 300);
  AcquireSRWLockShared(&g_lock);
  int hit = cached(key, out);
  ReleaseSRWLockShared(&g_lock);
  if (hit) return;
  // Resolved outside the lock: a slow script must not hold the other thread's requests.
  resolve(target, out);
  AcquireSRWLockExclusive(&g_lock);
  if (!cached(key, out) && g_cached < CACHE_SIZE) {
    lstrcpynW(g_cache[g_cached].key, key, 300);
    g_cache[g_cached++].route = *out;
  }
  ReleaseSRWLockExclusive(&g_lock);
}
