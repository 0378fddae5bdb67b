#include "ui/page_guard_win.h"

#include "base/bounded_text.h"
#include "base/log.h"
#include "ui/page_address.h"
#include "ui/runtime_text_win.h"
#include "ui/webview_handlers.h"

namespace {

// What the host navigated to, and which refusals of that page were already logged (a hostile
// process may repeat them without end; one line each tells the story).
struct page_guard_state {
  char page_url[PAGE_ADDRESS_MAX];
  bool message_logged, navigation_logged, window_logged;
};
page_guard_state g_guard;

void log_first(bool* logged, const char* what, const char* address) {
  if (*logged) return;
  *logged = true;
  char shown[301];
  loggable_address(shown, address);
  log_write(LOG_UI, LOG_LEVEL_WARN, "%s %s (the page shown is %s)", what, shown, g_guard.page_url);
}

HRESULT on_navigation_starting(ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs* args) {
  LPWSTR uri = nullptr;
  args->lpVtbl->get_Uri(args, &uri);
  runtime_text target(uri);
  if (page_address_is_own(target.get())) return S_OK;
  args->lpVtbl->put_Cancel(args, TRUE);
  log_first(&g_guard.navigation_logged, "Cancelled a navigation outside the pages folder to", target.get());
  return S_OK;
}

HRESULT on_new_window_requested(ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs* args) {
  args->lpVtbl->put_Handled(args, TRUE);  // handled without a window of ours: nothing opens
  LPWSTR uri = nullptr;
  args->lpVtbl->get_Uri(args, &uri);
  runtime_text target(uri);
  log_first(&g_guard.window_logged, "Refused a new window for", target.get());
  return S_OK;
}

void register_handlers(ICoreWebView2* webview) {
  // Registered for the webview's life: Close gives the runtime's references back.
  EventRegistrationToken token;
  if (ICoreWebView2NavigationStartingEventHandler* handler = new_navigation_starting_handler(on_navigation_starting)) {
    webview->lpVtbl->add_NavigationStarting(webview, handler, &token);
    handler->lpVtbl->Release(handler);
  }
  if (ICoreWebView2NewWindowRequestedEventHandler* handler = new_window_requested_handler(on_new_window_requested)) {
    webview->lpVtbl->add_NewWindowRequested(webview, handler, &token);
    handler->lpVtbl->Release(handler);
  }
}

// Asks base for a newer interface and, when the runtime has it, applies use to it; an older
// runtime lacks it, which the log notes.
template <typename Newer, typename Base, typename Use>
void with_newer(Base* base, const IID& iid, Use use, const char* missing) {
  void* newer = nullptr;
  if (FAILED(base->lpVtbl->QueryInterface(base, iid, &newer)) || !newer) {
    log_write(LOG_UI, LOG_LEVEL_INFO, "%s", missing);
    return;
  }
  auto* object = static_cast<Newer*>(newer);
  use(object);
  object->lpVtbl->Release(object);
}

void turn_off_accelerator_keys(ICoreWebView2* webview) {
  ICoreWebView2Settings* settings = nullptr;
  if (FAILED(webview->lpVtbl->get_Settings(webview, &settings)) || !settings) return;
  with_newer<ICoreWebView2Settings3>(
      settings, IID_ICoreWebView2Settings3,
      [](ICoreWebView2Settings3* s) { s->lpVtbl->put_AreBrowserAcceleratorKeysEnabled(s, FALSE); },
      "WebView2 runtime offers no accelerator-key setting; browser keys stay on");
  settings->lpVtbl->Release(settings);
}

void turn_off_external_drop(ICoreWebView2Controller* controller) {
  with_newer<ICoreWebView2Controller4>(
      controller, IID_ICoreWebView2Controller4,
      [](ICoreWebView2Controller4* c) { c->lpVtbl->put_AllowExternalDrop(c, FALSE); },
      "WebView2 runtime offers no external-drop setting; drops stay on");
}

}  // namespace

void page_guard_attach(ICoreWebView2Controller* controller, ICoreWebView2* webview) {
  register_handlers(webview);
  turn_off_accelerator_keys(webview);
  turn_off_external_drop(controller);
}

void page_guard_expect(const char* page_url) {
  g_guard = {};
  text_copy(g_guard.page_url, page_url);
}

bool page_guard_accepts(ICoreWebView2WebMessageReceivedEventArgs* args) {
  LPWSTR source = nullptr;
  args->lpVtbl->get_Source(args, &source);
  runtime_text text(source);
  if (page_address_same_page(text.get(), g_guard.page_url)) return true;
  log_first(&g_guard.message_logged, "Ignored page messages from", text.get());
  return false;
}
