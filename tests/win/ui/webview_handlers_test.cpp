// The host's handler objects as the runtime sees them: COM identity, counted references, and
// Invoke reaching the host's function with the runtime's arguments.
#include <gtest/gtest.h>

#include "ui/webview_handlers.h"

namespace {

HRESULT g_seen_result;
ICoreWebView2Environment* g_seen_environment;

HRESULT record_environment(HRESULT result, ICoreWebView2Environment* environment) {
  g_seen_result = result;
  g_seen_environment = environment;
  return S_FALSE;
}
HRESULT ignore_controller(HRESULT, ICoreWebView2Controller*) { return S_OK; }
HRESULT ignore_message(ICoreWebView2*, ICoreWebView2WebMessageReceivedEventArgs*) { return S_OK; }
HRESULT ignore_navigation(ICoreWebView2*, ICoreWebView2NavigationStartingEventArgs*) { return S_OK; }
HRESULT ignore_new_window(ICoreWebView2*, ICoreWebView2NewWindowRequestedEventArgs*) { return S_OK; }

// QueryInterface answers IUnknown and the handler's own interface with itself (one more
// reference each) and nothing else; the count comes back to zero.
template <typename Handler>
void check_identity(Handler* handler, const IID& own) {
  ASSERT_NE(handler, nullptr);
  void* out = nullptr;
  EXPECT_EQ(handler->lpVtbl->QueryInterface(handler, IID_IUnknown, &out), S_OK);
  EXPECT_EQ(out, handler);
  EXPECT_EQ(handler->lpVtbl->QueryInterface(handler, own, &out), S_OK);
  EXPECT_EQ(out, handler);
  out = handler;
  EXPECT_EQ(handler->lpVtbl->QueryInterface(handler, IID_ICoreWebView2, &out), E_NOINTERFACE);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(handler->lpVtbl->QueryInterface(handler, IID_IDispatch, &out), E_NOINTERFACE);
  EXPECT_EQ(handler->lpVtbl->QueryInterface(handler, own, nullptr), E_POINTER);
  EXPECT_EQ(handler->lpVtbl->AddRef(handler), 4u);
  EXPECT_EQ(handler->lpVtbl->Release(handler), 3u);
  EXPECT_EQ(handler->lpVtbl->Release(handler), 2u);
  EXPECT_EQ(handler->lpVtbl->Release(handler), 1u);
  EXPECT_EQ(handler->lpVtbl->Release(handler), 0u);  // freed
}

TEST(WebViewHandlers, AnswerTheirOwnInterfaceAndCountReferences) {
  check_identity(new_environment_completed_handler(record_environment),
                 IID_ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler);
  check_identity(new_controller_completed_handler(ignore_controller),
                 IID_ICoreWebView2CreateCoreWebView2ControllerCompletedHandler);
  check_identity(new_web_message_received_handler(ignore_message), IID_ICoreWebView2WebMessageReceivedEventHandler);
  check_identity(new_navigation_starting_handler(ignore_navigation), IID_ICoreWebView2NavigationStartingEventHandler);
  check_identity(new_window_requested_handler(ignore_new_window), IID_ICoreWebView2NewWindowRequestedEventHandler);

  auto* handler = new_environment_completed_handler(record_environment);
  auto* environment = reinterpret_cast<ICoreWebView2Environment*>(&handler);  // any distinct pointer
  EXPECT_EQ(handler->lpVtbl->Invoke(handler, E_ABORT, environment), S_FALSE) << "the host's result goes back";
  EXPECT_EQ(g_seen_result, E_ABORT);
  EXPECT_EQ(g_seen_environment, environment);
  EXPECT_EQ(handler->lpVtbl->Release(handler), 0u);
}

}  // namespace
