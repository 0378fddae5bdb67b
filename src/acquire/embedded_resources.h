// What the program carries in itself for its screens: the WebView2 loader (resource 101, an
// LZMA-alone stream), written out into a folder of this process before a WebView2 screen opens,
// and the page bundle (resource 102, a ZIP), which the screens serve from memory.
#pragma once

#include <cstddef>

constexpr int RESOURCE_WEBVIEW2_LOADER = 101;
constexpr int RESOURCE_UI_BUNDLE = 102;

// The bytes of an RT_RCDATA resource of the executable (read-only, valid for the process's
// life); 0, or -1 when it is absent, cannot be loaded or is empty.
int find_embedded_resource(int id, const unsigned char** data, size_t* size);

// Where this process writes its resources: "%sCorvaneInstaller-%lu" (temp folder, process id).
// The one place that names it. 0, or -1 when the path cannot be formed.
int extraction_folder(char* out, size_t size);

// Recreates the extraction folder and writes "WebView2Loader.dll" at its top (its failure is
// logged: loading the library reports it). 0 with the folder in folder_out, -1 with the last
// error set when the folder could not be made (folder_out then names it when known).
int extract_embedded_loader(char* folder_out, size_t size);
