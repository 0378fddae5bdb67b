// How long the stats host asks the sender to wait ("Retry-After" on 429 and 503), and how much
// of that the sender honours without passing its shut-down bound.
#pragma once

#include <cstdint>

// The header value as seconds from now: a decimal number of seconds, or an HTTP date
// ("Wed, 21 Oct 2026 07:28:00 GMT") measured against now_unix (a past date gives 0).
// 0 with *seconds set; -1 when the value is neither.
int retry_after_seconds(const char* value, uint64_t now_unix, uint64_t* seconds);

// A wait of its own is never longer than this: the host is asking, the person is waiting.
constexpr uint32_t RETRY_AFTER_CAP_MS = 5000;
// What a wait leaves the last attempts while the sender is shutting down (one POST's time-out).
constexpr uint32_t RETRY_AFTER_RESERVE_MS = 3000;

// The wait before the next attempt, in ms: the asked seconds capped, and while shutting down
// (ms_left >= 0: the time left of the shut-down bound) no more than leaves the reserve.
uint32_t retry_after_wait_ms(uint64_t seconds, int64_t ms_left);
