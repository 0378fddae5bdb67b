// The page channel of a window whose browser runs as the user while the host may run
// elevated: any process of that user can drive the browser, so the host takes messages only
// from the page it navigated to, keeps navigation on the pages' own origin, opens no other
// window, and turns off the browser keys and drops that would leave its pages.
#pragma once

#include "ui/webview2_abi.h"

// Registers the navigation and new-window handlers on a new webview (for its life) and turns
// off accelerator keys and external drop where the runtime offers them (older runtimes lack
// the interfaces: noted in the log, the window works without).
void page_guard_attach(ICoreWebView2Controller* controller, ICoreWebView2* webview);

// The page the host is about to navigate to (its address): the one source messages are taken
// from. Called before each Navigate.
void page_guard_expect(const char* page_url);

// Whether a message comes from that page. The first message of another source while a page is
// shown is logged; later ones are dropped silently.
bool page_guard_accepts(ICoreWebView2WebMessageReceivedEventArgs* args);
