// What msiexec's exit code means, and the creeping progress bars shown while a step runs
// that reports no progress of its own (msiexec, closing the running product, the
// uninstall): value = ceiling − amplitude · e^(−t / time constant), rounded half up, never
// above the cap while the step runs, and never going backwards. One shape, five parameter sets.
#pragma once

#include <cstdint>

// msiexec exit codes that mean done: 0, and 3010 (done, reboot needed — never forced).
inline bool msi_success(int code) { return code == 0 || code == 3010; }

struct creep_curve {
  double ceiling;
  double amplitude;
  double time_constant_s;
  int cap;
};

// msiexec: 30 at the start, 84 from about 2 min 24 s on.
constexpr creep_curve MSI_INSTALL_CREEP = {85.0, 55.0, 40.0, 84};
// The uninstaller's close and removal phases (their bars start at 20 and 10).
constexpr creep_curve UNINSTALL_CLOSE_CREEP = {85.0, 65.0, 40.0, 84};
constexpr creep_curve UNINSTALL_REMOVE_CREEP = {85.0, 75.0, 40.0, 84};
// Removing an existing installation before the install: 95 · (1 − e^(−t/τ)), capped at 90.
constexpr creep_curve PREINSTALL_CLOSE_CREEP = {95.0, 95.0, 2.5, 90};
constexpr creep_curve PREINSTALL_UNINSTALL_CREEP = {95.0, 95.0, 25.0, 90};

// The curve's percent after elapsed_ms milliseconds (a tick-count difference).
int creep_percent(const creep_curve& curve, uint32_t elapsed_ms);

// The forward-only rule of every creeping bar: returns true and stores the new percent in *last
// when the curve has passed *last (else nothing to report).
bool creep_advance(const creep_curve& curve, uint32_t elapsed_ms, int* last);
