// The WebView2 loader library, loaded once per process from the extraction folder only, and
// whether a WebView2 screen can be shown on this machine. Main thread only.
#pragma once

#include "ui/webview2_abi.h"

// The folder holding WebView2Loader.dll (the extraction folder); set before the first load.
void webview_loader_set_folder(const char* folder);
// Loads the library on the first call; later calls give the first call's outcome. True only
// when the environment entry point was found.
bool webview_loader_load();
// True when the loader is loaded, has its version entry, and a WebView2 Runtime is installed.
bool webview_available();
// The environment entry point; null until webview_loader_load has succeeded.
CreateCoreWebView2EnvironmentWithOptions_fn webview_create_environment_entry();
