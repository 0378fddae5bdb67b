// Waiting for another installation: msiexec answers 1618 while the Windows Installer serves
// another package (Windows Update, another setup), which is usually done within minutes. The
// package is tried again after growing waits (5, 10, 20, 40 s, then every 60 s) until ten
// minutes have been waited in all; then the run fails as for any other exit code.
#pragma once

#include <cstdint>

constexpr int MSI_INSTALLER_BUSY = 1618;  // ERROR_INSTALL_ALREADY_RUNNING
constexpr uint32_t MSI_BUSY_WAIT_LIMIT_MS = 600000;

// The wait before the next try after retries_done retries and waited_ms waited so far (the
// last one shortened to end at the limit); 0 once the limit is reached: give up.
uint32_t msi_busy_wait_ms(int retries_done, uint32_t waited_ms);
