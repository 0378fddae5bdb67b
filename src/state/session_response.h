// Reading the session worker's answer: the 429 delay, the server clock and the merge of the
// visit's attribution into install_state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "state/attribution_values.h"
#include "state/install_state.h"

constexpr size_t SESSION_RESPONSE_SIZE = 16384;
constexpr uint32_t SESSION_TIMESTAMP_MIN = 1767225600;  // 2026-01-01T00:00:00Z
constexpr uint32_t SESSION_TIMESTAMP_MAX = 2524608000;  // 2050-01-01T00:00:00Z

// Retry-After in seconds (null when absent): 1000 ms for missing, 0 or non-numeric values,
// otherwise seconds x 1000 capped at 5000 ms.
int session_retry_delay_ms(const char* retry_after);

enum class session_timestamp_kind { none, in_range, out_of_range };
// "current_timestamp" as a decimal number into *value. none for a missing key, no digits, 0 or
// a value past 32 bits; out_of_range (value set) outside 2026-2050.
session_timestamp_kind session_current_timestamp(const char* response, uint32_t* value);

// Merges when "match" is present, non-empty and not "none": each empty attribution field of
// the state takes a non-empty member; user_id only when the state's was not persisted, and
// user_date from a "user_datetime" longer than 7 characters only when not persisted. A version
// the vendor would not issue is refused (added to refused). match_out (16) receives the match
// text. True when a merge took place.
bool session_merge(install_state* state, const char* response, int user_id_persisted, int user_date_persisted,
                   char* match_out, attribution_refusals* refused);
