// The WebView2 host of the installer and uninstaller pages.
#pragma once

#include <cstddef>

// Writes the loader and page bundle into a fresh per-process temp folder; 0 or -1.
int ui_extract_resources(char* folder_out, size_t size);
// 1 when a WebView2 runtime can be used.
int webview_available();
// Deletes an extraction folder and everything in it.
void ui_delete_extraction_folder(const char* folder);
