// The WebView2 side of the host window: environment, controller, settings, the page, the
// ready signal, and the page's messages to the screen's handler. Callbacks arrive on the
// main thread, from its message loop.

#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "product/product.h"
#include "ui/page_address.h"
#include "ui/page_guard_win.h"
#include "ui/page_server_win.h"
#include "ui/ui_host_window_win.h"
#include "ui/webview_handlers.h"
#include "ui/webview_loader.h"

namespace {

void error_box(const char* text) { ui_host_message_box(nullptr, text, "CorVane Setup", MB_ICONERROR | MB_TOPMOST); }

void controller_failed(HRESULT hr) {
  log_write(LOG_UI, LOG_LEVEL_ERROR, "WebView2 controller creation failed (hr=0x%lx)", static_cast<unsigned long>(hr));
  ui_host_fail_webview();
}

void apply_settings(ICoreWebView2* webview) {
  ICoreWebView2Settings* settings = nullptr;
  if (FAILED(webview->lpVtbl->get_Settings(webview, &settings)) || !settings) return;
  settings->lpVtbl->put_IsWebMessageEnabled(settings, TRUE);
  settings->lpVtbl->put_AreDevToolsEnabled(settings, FALSE);
  settings->lpVtbl->put_AreDefaultContextMenusEnabled(settings, FALSE);
  settings->lpVtbl->put_IsZoomControlEnabled(settings, FALSE);
  settings->lpVtbl->put_IsStatusBarEnabled(settings, FALSE);
  settings->lpVtbl->Release(settings);
}

// Tells an unelevated parent waiting for this process that its screen is up.
void signal_ready() {
  log_write(LOG_UI, LOG_LEVEL_INFO, "Screen ready");
  kernel_handle ready(OpenEventA(EVENT_MODIFY_STATE, FALSE, UI_READY_EVENT_NAME));
  if (ready) SetEvent(ready.get());
}

HRESULT on_web_message(ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs* args) {
  if (!page_guard_accepts(args)) return S_OK;
  LPWSTR json = nullptr;
  if (FAILED(args->lpVtbl->get_WebMessageAsJson(args, &json)) || !json) return S_OK;
  heap_block<char> text(wide_to_utf8_heap(json));
  if (text && text.get()[0]) {
    const ui_host_config* config = g_ui_host.config;
    if (config && config->on_message) config->on_message(text.get(), config->on_message_context);
  }
  CoTaskMemFree(json);
  return S_OK;
}

HRESULT on_controller_created(HRESULT hr, ICoreWebView2Controller* controller) {
  if (FAILED(hr) || !controller) {
    // A window already gone (closed by a worker meanwhile) is no WebView2 failure.
    if (g_ui_host.window) controller_failed(hr);
    return S_OK;
  }
  HWND window = g_ui_host.window;
  if (!window) {
    controller->lpVtbl->Close(controller);
    return S_OK;
  }
  log_write(LOG_UI, LOG_LEVEL_INFO, "WebView2 controller created");
  controller->lpVtbl->AddRef(controller);
  g_ui_host.controller = controller;
  controller->lpVtbl->get_CoreWebView2(controller, &g_ui_host.webview);
  ICoreWebView2* webview = g_ui_host.webview;
  if (!webview) {
    log_write(LOG_UI, LOG_LEVEL_ERROR, "Failed to get CoreWebView2");
    ui_host_fail_webview();
    return S_OK;
  }
  apply_settings(webview);
  page_guard_attach(controller, webview);
  if (!page_server_attach(webview)) {
    ui_host_fail_webview();
    return S_OK;
  }
  RECT client;
  GetClientRect(window, &client);
  controller->lpVtbl->put_Bounds(controller, client);
  controller->lpVtbl->put_IsVisible(controller, TRUE);
  ICoreWebView2WebMessageReceivedEventHandler* handler = new_web_message_received_handler(on_web_message);
  if (handler) {
    // Registered for the webview's life: Close gives the runtime's reference back.
    EventRegistrationToken token;
    webview->lpVtbl->add_WebMessageReceived(webview, handler, &token);
    handler->lpVtbl->Release(handler);
  }
  ui_host_navigate();
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  UpdateWindow(window);
  controller->lpVtbl->MoveFocus(controller, COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC);
  signal_ready();
  if (g_ui_host.config && g_ui_host.config->on_shown) g_ui_host.config->on_shown();
  return S_OK;
}

void use_environment(HRESULT hr, ICoreWebView2Environment* environment) {
  if (FAILED(hr) || !environment) {
    char text[1024];
    text_format(text, sizeof text,
                "WebView2 environment creation failed (hr=0x%lx).\n\nThis usually means the elevated process can't "
                "access the per-PID user-data folder under %%TEMP%%, the WebView2 Runtime is broken, or another "
                "instance is holding the data folder open.\n\nThe installer cannot continue without WebView2.",
                static_cast<unsigned long>(hr));
    log_write(LOG_UI, LOG_LEVEL_ERROR, "%s", text);
    error_box(text);
    ui_host_fail_webview();
    return;
  }
  if (!g_ui_host.window) return;
  log_write(LOG_UI, LOG_LEVEL_INFO, "WebView2 environment created");
  page_server_take_environment(environment);
  ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* handler =
      new_controller_completed_handler(on_controller_created);
  if (!handler) {
    controller_failed(E_OUTOFMEMORY);  // no completion can come: the window must not wait for one
    return;
  }
  HRESULT started = environment->lpVtbl->CreateCoreWebView2Controller(environment, g_ui_host.window, handler);
  handler->lpVtbl->Release(handler);
  // Refused at once, no completion will come: without this the window would wait forever.
  if (FAILED(started)) controller_failed(started);
}

HRESULT on_environment_created(HRESULT hr, ICoreWebView2Environment* environment) {
  use_environment(hr, environment);
  return S_OK;
}

// The completion of the request made ahead of the window.
HRESULT on_early_environment_created(HRESULT hr, ICoreWebView2Environment* environment) {
  ui_host_state& host = g_ui_host;
  if (host.environment_state == early_environment::pending && !host.window) {
    host.environment_state = early_environment::arrived;  // held until the window takes it up
    host.environment_result = hr;
    host.environment = environment;
    if (environment) environment->lpVtbl->AddRef(environment);
    return S_OK;
  }
  bool taken_up = host.environment_state == early_environment::pending;
  host.environment_state = early_environment::none;
  if (taken_up) use_environment(hr, environment);
  return S_OK;
}

// The user-data folder of the last request, for the message should the loader refuse it.
char g_requested_folder[MAX_PATH];

// Asks the loader for an environment in the next user-data folder; its completion comes to
// on_created, from the message loop. The call's own result.
HRESULT request_environment(environment_completed_fn on_created) {
  wchar_t wide_folder[MAX_PATH] = L"";
  g_requested_folder[0] = '\0';
  if (ui_next_user_data_folder(g_requested_folder, sizeof g_requested_folder) != 0 ||
      utf8_to_wide(g_requested_folder, wide_folder, MAX_PATH) != 0)
    return HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
  ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* handler = new_environment_completed_handler(on_created);
  if (!handler) return E_OUTOFMEMORY;
  HRESULT hr = webview_create_environment_entry()(nullptr, wide_folder, nullptr, handler);
  handler->lpVtbl->Release(handler);
  return hr;
}

void report_refused_request(HRESULT hr) {
  char text[1024];
  text_format(text, sizeof text,
              "Corvane Setup couldn't initialise WebView2 (hr=0x%lx, user-data='%s'). This typically happens when the "
              "user-data folder is locked, on a read-only volume, or denied by EDR.",
              static_cast<unsigned long>(hr), g_requested_folder);
  log_write(LOG_UI, LOG_LEVEL_ERROR, "%s", text);
  error_box(text);
}

}  // namespace

void ui_host_begin_environment() {
  if (g_ui_host.environment_state != early_environment::none || !webview_create_environment_entry()) return;
  HRESULT hr = request_environment(on_early_environment_created);
  g_ui_host.environment_result = hr;
  g_ui_host.environment_state = SUCCEEDED(hr) ? early_environment::pending : early_environment::refused;
}

void ui_host_drop_environment() {
  if (g_ui_host.environment) g_ui_host.environment->lpVtbl->Release(g_ui_host.environment);
  g_ui_host.environment = nullptr;
  g_ui_host.environment_state = g_ui_host.environment_state == early_environment::pending ? early_environment::dropped
                                                                                         : early_environment::none;
}

bool ui_host_start_webview(HWND) {
  ui_host_state& host = g_ui_host;
  switch (host.environment_state) {
    case early_environment::pending:
      return true;  // its completion takes up the window
    case early_environment::arrived: {
      ICoreWebView2Environment* environment = host.environment;
      host.environment = nullptr;
      host.environment_state = early_environment::none;
      use_environment(host.environment_result, environment);
      if (environment) environment->lpVtbl->Release(environment);
      return true;
    }
    case early_environment::refused:
      host.environment_state = early_environment::none;
      report_refused_request(host.environment_result);
      return false;
    case early_environment::none:
    case early_environment::dropped:
      break;
  }
  HRESULT hr = request_environment(on_environment_created);
  if (SUCCEEDED(hr)) return true;
  report_refused_request(hr);
  return false;
}

void ui_host_navigate() {
  const ui_host_config* config = g_ui_host.config;
  if (!config || !g_ui_host.webview) return;
  char url[PAGE_ADDRESS_MAX];
  wchar_t wide[PAGE_ADDRESS_MAX];
  if (page_address_of(config->page, url, sizeof url) != 0 || utf8_to_wide(url, wide, PAGE_ADDRESS_MAX) != 0) {
    log_write(LOG_UI, LOG_LEVEL_ERROR, "No page address for %s", config->page ? config->page : "(none)");
    return;
  }
  log_write(LOG_UI, LOG_LEVEL_DEBUG, "Navigating to UI");
  page_guard_expect(url);
  g_ui_host.webview->lpVtbl->Navigate(g_ui_host.webview, wide);
}
