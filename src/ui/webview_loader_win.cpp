#include "ui/webview_loader.h"

#include "base/bounded_text.h"
#include "base/log.h"
#include "base/path_text.h"
#include "base/wide_win.h"

namespace {

struct loader_state {
  char folder[MAX_PATH] = "";
  bool tried = false;
  HMODULE module = nullptr;
  CreateCoreWebView2EnvironmentWithOptions_fn create_environment = nullptr;
  GetAvailableCoreWebView2BrowserVersionString_fn version = nullptr;
};
loader_state g_loader;

// The library comes from the extraction folder by its full path and nowhere else: a copy
// beside the executable or on the search path could be one planted in Downloads, and this
// process may be elevated. Its own imports come from the system folder only.
HMODULE load_from_folder(char* path, size_t size) {
  if (join_path(g_loader.folder, "WebView2Loader.dll", path, size) != 0) {
    text_copy(path, size, g_loader.folder);
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return nullptr;
  }
  wchar_t wide[MAX_PATH];
  if (!g_loader.folder[0] || utf8_to_wide(path, wide, MAX_PATH) != 0) {
    SetLastError(ERROR_MOD_NOT_FOUND);
    return nullptr;
  }
  return LoadLibraryExW(wide, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

void webview_loader_set_folder(const char* folder) { text_copy(g_loader.folder, folder); }

bool webview_loader_load() {
  if (g_loader.tried) return g_loader.create_environment != nullptr;
  g_loader.tried = true;
  char path[MAX_PATH] = "";
  g_loader.module = load_from_folder(path, sizeof path);
  if (!g_loader.module) {
    log_write(LOG_UI, LOG_LEVEL_ERROR, "WebView2Loader.dll not found: %s (err=%lu)", path, GetLastError());
    return false;
  }
  g_loader.create_environment = reinterpret_cast<CreateCoreWebView2EnvironmentWithOptions_fn>(
      reinterpret_cast<void*>(GetProcAddress(g_loader.module, WEBVIEW2_CREATE_ENVIRONMENT_EXPORT)));
  g_loader.version = reinterpret_cast<GetAvailableCoreWebView2BrowserVersionString_fn>(
      reinterpret_cast<void*>(GetProcAddress(g_loader.module, WEBVIEW2_VERSION_EXPORT)));
  if (!g_loader.create_environment) {
    log_write(LOG_UI, LOG_LEVEL_ERROR,
              "WebView2Loader.dll loaded but CreateCoreWebView2EnvironmentWithOptions not found");
    return false;
  }
  log_write(LOG_UI, LOG_LEVEL_DEBUG, "WebView2Loader.dll loaded successfully");
  return true;
}

bool webview_available() {
  if (!webview_loader_load()) {
    log_write(LOG_UI, LOG_LEVEL_WARN, "webview_available: loader DLL not available");
    return false;
  }
  if (!g_loader.version) {
    log_write(LOG_UI, LOG_LEVEL_WARN, "webview_available: GetVersion function not found");
    return false;
  }
  LPWSTR version = nullptr;
  HRESULT hr = g_loader.version(nullptr, &version);
  if (SUCCEEDED(hr) && version) {
    char text[128];
    wide_to_utf8(version, text, sizeof text);
    CoTaskMemFree(version);
    log_write(LOG_UI, LOG_LEVEL_INFO, "WebView2 Runtime version: %s", text);
    return true;
  }
  if (version) CoTaskMemFree(version);
  log_write(LOG_UI, LOG_LEVEL_WARN, "webview_available: WebView2 Runtime not installed");
  return false;
}

CreateCoreWebView2EnvironmentWithOptions_fn webview_create_environment_entry() { return g_loader.create_environment; }
