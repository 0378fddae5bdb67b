// Identifiers that sort by time and never need a network: UUID version 8 whose first
// 44 bits are seconds since 2025-01-01T00:00:00Z, and random GUIDs.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t UUID_TEXT_BUFFER = 37;  // 36 characters and the NUL
constexpr uint64_t UUID_V8_EPOCH_UNIX = 1735689600;
constexpr size_t UUID_V8_RANDOM_BYTES = 10;

struct uuid_v8_time {
  uint32_t high;  // seconds since the epoch, shifted right by 12
  uint16_t low;   // the low 12 bits of those seconds
};

// Time parts of a FILETIME (100 ns since 1601); a clock before the epoch counts as the epoch.
uuid_v8_time uuid_v8_time_from_filetime(uint64_t filetime);

// TTTTTTTT-TTT1-8RRR-VRRR-RRRRRRRRRRRR from the time parts and ten random bytes.
// out must hold UUID_TEXT_BUFFER bytes.
void uuid_v8_layout(char* out, uint32_t time_high, uint16_t time_low, const uint8_t random[UUID_V8_RANDOM_BYTES]);

// Windows layer. 0, or -1 when the system's random generator failed (out is then unusable).
int uuid_v8_new(char* out);
int uuid_v8_build(char* out, uint32_t time_high, uint16_t time_low);
// A random GUID in 8-4-4-4-12 lower-case form; out is left untouched when none can be had.
void guid_string_new(char* out);
