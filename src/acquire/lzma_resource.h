// Resource 101 is the WebView2 loader as an LZMA-alone stream: 5 bytes of LZMA properties,
// the uncompressed size as 8 bytes little-endian, then the compressed data. It is decoded in
// one call into one buffer of the declared size, which must be the real size: a stream that
// says "unknown" (all ones) or more than the limit is refused before anything is allocated.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t LZMA_RESOURCE_HEADER_SIZE = 13;
constexpr uint64_t LZMA_RESOURCE_MAX_SIZE = 32ull * 1024 * 1024;
constexpr size_t LZMA_RESOURCE_MESSAGE_SIZE = 512;

enum lzma_resource_result {
  LZMA_RESOURCE_OK = 0,
  LZMA_RESOURCE_TRUNCATED_HEADER,  // 12 bytes or fewer
  LZMA_RESOURCE_TOO_LARGE,         // declared size above the limit
  LZMA_RESOURCE_NO_MEMORY,
  LZMA_RESOURCE_DECODE_FAILED,     // the decoder's result and status are in the output
  LZMA_RESOURCE_SIZE_MISMATCH,     // the stream ended (with an end mark) short of the declared size
};

struct lzma_resource_decoded {
  unsigned char* data = nullptr;  // malloc'd (declared size + 1 bytes), only on success
  size_t size = 0;
  int sdk_result = 0;  // LzmaDecode's result (SZ_*) and status (LZMA_STATUS_*)
  int sdk_status = 0;
};

// Decodes the whole stream. Every result but OK leaves out->data null.
lzma_resource_result lzma_resource_decode(const unsigned char* stream, size_t stream_size,
                                          lzma_resource_decoded* out);
void lzma_resource_free(lzma_resource_decoded* decoded);

// The log text of a failed decode: "LZMA blob truncated (header)", "LZMA blob declared size too
// large", "Out of memory for LZMA decode", "LzmaDecode failed (res=%d, status=%d)", "LZMA
// decoded size mismatch".
void lzma_resource_message(lzma_resource_result result, const lzma_resource_decoded& decoded, char* out,
                           size_t size);
