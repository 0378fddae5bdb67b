#include "ui/page_server_win.h"

#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "ui/page_address.h"
#include "ui/page_bundle_win.h"
#include "ui/runtime_text_win.h"
#include "ui/webview_handlers.h"

namespace {

ICoreWebView2Environment* g_environment;
// A page (or a process of the browser's user driving it) may ask for missing names without end:
// the first few tell the story.
constexpr int REFUSALS_LOGGED = 5;
int g_refusals;

void log_refused(const char* address, int status) {
  if (g_refusals++ >= REFUSALS_LOGGED) return;
  char shown[201];
  loggable_address(shown, address);
  log_write(LOG_UI, LOG_LEVEL_WARN, "Page asked for %s: answered %d", shown, status);
}

// The response for an address: the entry with its type, or 404 with no body.
HRESULT make_response(const char* address, ICoreWebView2WebResourceResponse** response) {
  char name[PAGE_ADDRESS_MAX];
  com_ptr<IStream> content;
  if (page_address_entry(address, name, sizeof name)) content.reset(page_bundle_stream(name));
  if (!content) {
    log_refused(address, 404);
    return g_environment->lpVtbl->CreateWebResourceResponse(g_environment, nullptr, 404, L"Not Found", L"",
                                                            response);
  }
  wchar_t headers[128];
  char text[128];
  text_format(text, sizeof text, "Content-Type: %s", page_content_type(name));
  if (utf8_to_wide(text, headers, 128) != 0) return E_UNEXPECTED;
  return g_environment->lpVtbl->CreateWebResourceResponse(g_environment, content.get(), 200, L"OK", headers,
                                                          response);
}

// The runtime's objects hand out plain table pointers: each reference taken here is given back
// before returning.
HRESULT on_resource_requested(ICoreWebView2*, ICoreWebView2WebResourceRequestedEventArgs* args) {
  ICoreWebView2WebResourceRequest* request = nullptr;
  if (!g_environment || FAILED(args->lpVtbl->get_Request(args, &request)) || !request) return S_OK;
  LPWSTR uri = nullptr;
  request->lpVtbl->get_Uri(request, &uri);
  request->lpVtbl->Release(request);
  runtime_text address(uri);
  ICoreWebView2WebResourceResponse* response = nullptr;
  HRESULT hr = make_response(address.get(), &response);
  if (SUCCEEDED(hr) && response) hr = args->lpVtbl->put_Response(args, response);
  if (response) response->lpVtbl->Release(response);
  if (FAILED(hr))
    log_write(LOG_UI, LOG_LEVEL_ERROR, "Could not answer the page's request (hr=0x%lx)", static_cast<unsigned long>(hr));
  return S_OK;
}

}  // namespace

void page_server_take_environment(ICoreWebView2Environment* environment) {
  if (environment) environment->lpVtbl->AddRef(environment);
  page_server_detach();
  g_environment = environment;
}

bool page_server_attach(ICoreWebView2* webview) {
  g_refusals = 0;
  if (!g_environment) return false;
  ICoreWebView2WebResourceRequestedEventHandler* handler = new_web_resource_requested_handler(on_resource_requested);
  if (!handler) return false;
  // Registered for the webview's life: Close gives the runtime's reference back.
  EventRegistrationToken token;
  HRESULT hr = webview->lpVtbl->add_WebResourceRequested(webview, handler, &token);
  handler->lpVtbl->Release(handler);
  wchar_t filter[PAGE_ADDRESS_MAX];
  if (SUCCEEDED(hr) && utf8_to_wide(PAGE_ORIGIN_FILTER, filter, PAGE_ADDRESS_MAX) != 0) hr = E_UNEXPECTED;
  if (SUCCEEDED(hr))
    hr = webview->lpVtbl->AddWebResourceRequestedFilter(webview, filter, COREWEBVIEW2_WEB_RESOURCE_CONTEXT_ALL);
  if (FAILED(hr)) {
    log_write(LOG_UI, LOG_LEVEL_ERROR, "WebView2 refused to let the host serve its pages (hr=0x%lx)",
              static_cast<unsigned long>(hr));
    return false;
  }
  return true;
}

void page_server_detach() {
  if (g_environment) g_environment->lpVtbl->Release(g_environment);
  g_environment = nullptr;
}
