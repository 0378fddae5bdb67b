// The WebView2 handler objects the host hands to the runtime: small COM objects with a
// reference count, each forwarding its Invoke to a plain function of the host. QueryInterface
// answers IUnknown and the handler's own interface only (E_NOINTERFACE otherwise, as COM
// requires: the runtime must not be given an object that claims interfaces it lacks).
#pragma once

#include "ui/webview2_abi.h"

typedef HRESULT (*environment_completed_fn)(HRESULT result, ICoreWebView2Environment* environment);
typedef HRESULT (*controller_completed_fn)(HRESULT result, ICoreWebView2Controller* controller);
typedef HRESULT (*web_message_received_fn)(ICoreWebView2* sender, ICoreWebView2WebMessageReceivedEventArgs* args);
typedef HRESULT (*navigation_starting_fn)(ICoreWebView2* sender, ICoreWebView2NavigationStartingEventArgs* args);
typedef HRESULT (*new_window_requested_fn)(ICoreWebView2* sender, ICoreWebView2NewWindowRequestedEventArgs* args);
typedef HRESULT (*web_resource_requested_fn)(ICoreWebView2* sender, ICoreWebView2WebResourceRequestedEventArgs* args);

// Each returns a new object holding one reference, the caller's, or null when out of memory.
// The object frees itself when its last reference is released.
ICoreWebView2CreateCoreWebView2EnvironmentCompletedHandler* new_environment_completed_handler(
    environment_completed_fn invoke);
ICoreWebView2CreateCoreWebView2ControllerCompletedHandler* new_controller_completed_handler(
    controller_completed_fn invoke);
ICoreWebView2WebMessageReceivedEventHandler* new_web_message_received_handler(web_message_received_fn invoke);
ICoreWebView2NavigationStartingEventHandler* new_navigation_starting_handler(navigation_starting_fn invoke);
ICoreWebView2NewWindowRequestedEventHandler* new_window_requested_handler(new_window_requested_fn invoke);
ICoreWebView2WebResourceRequestedEventHandler* new_web_resource_requested_handler(web_resource_requested_fn invoke);
