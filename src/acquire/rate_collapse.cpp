#include "acquire/rate_collapse.h"

void rate_collapse_begin(rate_collapse_state* s, uint32_t now_tick) {
  *s = rate_collapse_state{};
  s->window_start = now_tick;
}

bool rate_collapse_feed(rate_collapse_state* s, uint32_t chunk_bytes, uint32_t now_tick) {
  s->window_bytes += chunk_bytes;
  uint32_t elapsed = now_tick - s->window_start;  // unsigned: a tick wrap-around is harmless
  if (elapsed < RATE_WINDOW_MS) return false;
  uint64_t rate = static_cast<uint64_t>(s->window_bytes) * 1000u / elapsed;
  s->last_rate = rate > UINT32_MAX ? UINT32_MAX : static_cast<uint32_t>(rate);
  if (s->last_rate > s->peak) s->peak = s->last_rate;
  s->windows_done++;
  if (s->windows_done <= RATE_WARMUP_WINDOWS ||
      s->last_rate >= static_cast<uint64_t>(s->peak) * RATE_THRESHOLD_PERCENT / 100u) {
    s->low_windows = 0;
  } else if (++s->low_windows >= RATE_LOW_WINDOWS) {
    return true;
  }
  s->window_bytes = 0;
  s->window_start = now_tick;
  return false;
}

int download_percent(uint64_t total, uint64_t content_length) {
  if (content_length == 0) return -1;
  if (total >= content_length) return 100;
  // total < content_length, so this stays under 100; dividing first keeps huge lengths from wrapping.
  uint64_t percent = content_length > UINT64_MAX / 100 ? total / (content_length / 100) : total * 100 / content_length;
  return static_cast<int>(percent);
}
