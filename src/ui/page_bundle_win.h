// The page bundle as the browser gets it: straight from the program's own image (resource 102,
// a ZIP), one entry at a time as the page asks, into a memory stream. Nothing is written to
// disk, so nothing the browser shows can be swapped on disk or must be readable by its user.
// Main (UI) thread only: the browser's requests come to the host there.
#pragma once

#include <objidl.h>

// Opens the bundle once (later calls give the first answer): 0, or -1 with the last error
// set when it is not embedded or is no readable ZIP (logged); no page could show then.
int page_bundle_open();

// A new stream (one reference, the caller's) holding the entry's whole content, positioned at
// its start; null when the bundle has no such entry (case counts, as in a URL) or the entry is
// damaged (logged).
IStream* page_bundle_stream(const char* name);

// Lets the bundle go (the end of the screens); a later page_bundle_open opens it again.
void page_bundle_close();
