// Closing the running product: phase 1 of every uninstall, and the first step of removing an
// existing installation before an install; nothing of the product may run while its package
// is removed. Every step is best effort and logged; nothing is reported to the caller.
#pragma once

#include <windows.h>

#include <cstdint>

// Closes Corvane.exe (politely, then by force), stops and deletes "Corvane.Service" and
// "corvanedrv". Always 0.
int close_running_product();
// The same as a thread entry; the parameter is ignored.
DWORD WINAPI close_running_product_thread(LPVOID unused);

// Closes every running Corvane.exe whose image is the product's own file in the install
// folder, with a 10000 ms grace period each; any other Corvane.exe is left running.
void close_product_app();

// Posts WM_CLOSE to the process's top-level windows and waits *timeout_ms for it to end;
// a process without windows, or one still running then, is terminated with exit code 1.
// True when the process is gone, false when it could not be opened or terminated. The signature
// is that of a process-walk callback (context: a uint32_t timeout).
bool close_process_gracefully(DWORD process_id, void* timeout_ms);

// Asks the service to stop and polls up to 150 times 100 ms apart; a service still not
// stopped then is ended by terminating its process (never process id 0, a driver).
// A service that does not exist is passed over without a log line.
void stop_service(const char* name);
// Marks the service for deletion; silent.
void delete_service(const char* name);
