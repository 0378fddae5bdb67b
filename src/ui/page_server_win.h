// Serves the pages to the browser from the bundle in memory (page_bundle_win.h), on their own
// origin (page_address.h): every request of that origin is answered by the host, with the
// entry or with 404, and never reaches the network.
#pragma once

#include "ui/webview2_abi.h"

// The environment a window's webview comes from: it makes the responses, and is held (one
// reference) until page_server_detach or the next environment.
void page_server_take_environment(ICoreWebView2Environment* environment);

// Registers the origin's filter and the request handler on a new webview (for its life). False
// when the runtime refused either, or no environment was taken: the page could not be shown.
bool page_server_attach(ICoreWebView2* webview);

// The webview is going: lets go of the environment.
void page_server_detach();
