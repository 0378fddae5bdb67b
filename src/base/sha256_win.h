// SHA-256 through the system's CNG provider.
#pragma once

#include <cstddef>
#include <cstdint>

// 0 with the digest of the bytes, or -1 (logged at debug with the CNG status).
int sha256(const void* data, size_t length, uint8_t digest[32]);
