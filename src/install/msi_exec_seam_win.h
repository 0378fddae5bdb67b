// Test seams of the package install (msi_exec.h): one msiexec run of a command line to its
// result, and the wait while another installation holds the
// Windows Installer. The real process and Sleep in the product; the Windows-layer tests answer
// 1618 without msiexec and wait without sleeping.
#pragma once

#include "base/process_result.h"
#include "state/install_state.h"

extern process_result (*msi_exec_run)(install_state* state, const char* command);
extern void (*msi_busy_sleep)(unsigned long ms);
