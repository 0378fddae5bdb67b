// The install behind the progress page, on its own thread: waits for the page's begin, runs the
// shared install steps with progress for the page, and ends with the page's terminal event.
#pragma once

#include <windows.h>

// Thread entry taking the install_state; 1 when it ends on cancel or failure, else 0.
DWORD WINAPI ui_install_worker(LPVOID state);
