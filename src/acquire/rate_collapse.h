// The rate-collapse rule of a download: after two warm-up windows of at least 2000 ms, three
// consecutive windows under a quarter of this transfer's peak rate abandon the URL. Fed with
// tick counts and byte counts only, so it is exercised without a network.
#pragma once

#include <cstdint>

constexpr uint32_t RATE_WINDOW_MS = 2000;
constexpr uint32_t RATE_WARMUP_WINDOWS = 2;
constexpr uint32_t RATE_THRESHOLD_PERCENT = 25;
constexpr uint32_t RATE_LOW_WINDOWS = 3;

struct rate_collapse_state {
  uint32_t window_start;
  uint32_t window_bytes;
  uint32_t windows_done;
  uint32_t peak;          // bytes per second
  uint32_t low_windows;   // consecutive windows under the threshold
  uint32_t last_rate;     // rate of the last completed window
};

void rate_collapse_begin(rate_collapse_state* s, uint32_t now_tick);

// Feeds one written chunk at tick now; returns true when the transfer has collapsed.
bool rate_collapse_feed(rate_collapse_state* s, uint32_t chunk_bytes, uint32_t now_tick);

// Percent of a known length, capped at 100 (the body may run past its Content-Length);
// -1 when the length is unknown (0). No product of the two can wrap.
int download_percent(uint64_t total, uint64_t content_length);
