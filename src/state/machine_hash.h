// SHA-256 of the Windows machine GUID as 64 upper-case hexadecimal digits.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t MACHINE_HASH_BUFFER = 65;

// Pure: bytes as upper-case hexadecimal, cut to whole bytes that fit out[size].
void hex_upper(const uint8_t* bytes, size_t count, char* out, size_t size);

// Windows layer: 0, or -1 with out emptied when the GUID is missing or the hash failed.
int machine_guid_sha256(char out[MACHINE_HASH_BUFFER]);
