#include "acquire/lzma_resource.h"

#include <cstdlib>

#include "LzmaDec.h"
#include "base/bounded_text.h"

namespace {

void* sz_alloc(void*, size_t size) { return malloc(size); }
void sz_free(void*, void* address) { free(address); }
ISzAlloc g_alloc = {sz_alloc, sz_free};

uint64_t declared_size(const unsigned char* stream) {
  uint64_t size = 0;
  for (int i = 7; i >= 0; i--) size = (size << 8) | stream[LZMA_PROPS_SIZE + i];
  return size;
}

}  // namespace

lzma_resource_result lzma_resource_decode(const unsigned char* stream, size_t stream_size,
                                          lzma_resource_decoded* out) {
  *out = lzma_resource_decoded{};
  if (stream_size < LZMA_RESOURCE_HEADER_SIZE) return LZMA_RESOURCE_TRUNCATED_HEADER;
  uint64_t declared = declared_size(stream);
  if (declared > LZMA_RESOURCE_MAX_SIZE) return LZMA_RESOURCE_TOO_LARGE;
  size_t size = static_cast<size_t>(declared);
  unsigned char* buffer = static_cast<unsigned char*>(malloc(size + 1));
  if (!buffer) return LZMA_RESOURCE_NO_MEMORY;

  SizeT decoded = size;
  SizeT source = stream_size - LZMA_RESOURCE_HEADER_SIZE;
  ELzmaStatus status = LZMA_STATUS_NOT_SPECIFIED;
  // Finish-end: the stream must end exactly at the declared size, so a header that claims
  // less than the data holds is refused instead of giving a cut library.
  SRes res = LzmaDecode(buffer, &decoded, stream + LZMA_RESOURCE_HEADER_SIZE, &source, stream, LZMA_PROPS_SIZE,
                        LZMA_FINISH_END, &status, &g_alloc);
  out->sdk_result = res;
  out->sdk_status = status;
  lzma_resource_result result = LZMA_RESOURCE_OK;
  if (res != SZ_OK) {
    result = LZMA_RESOURCE_DECODE_FAILED;
  } else if (decoded != size) {
    result = LZMA_RESOURCE_SIZE_MISMATCH;
  }
  if (result != LZMA_RESOURCE_OK) {
    free(buffer);
    return result;
  }
  out->data = buffer;
  out->size = size;
  return LZMA_RESOURCE_OK;
}

void lzma_resource_free(lzma_resource_decoded* decoded) {
  free(decoded->data);
  decoded->data = nullptr;
  decoded->size = 0;
}

void lzma_resource_message(lzma_resource_result result, const lzma_resource_decoded& decoded, char* out,
                           size_t size) {
  switch (result) {
    case LZMA_RESOURCE_OK:
      text_copy(out, size, "");
      break;
    case LZMA_RESOURCE_TRUNCATED_HEADER:
      text_copy(out, size, "LZMA blob truncated (header)");
      break;
    case LZMA_RESOURCE_TOO_LARGE:
      text_copy(out, size, "LZMA blob declared size too large");
      break;
    case LZMA_RESOURCE_NO_MEMORY:
      text_copy(out, size, "Out of memory for LZMA decode");
      break;
    case LZMA_RESOURCE_DECODE_FAILED:
      text_format(out, size, "LzmaDecode failed (res=%d, status=%d)", decoded.sdk_result, decoded.sdk_status);
      break;
    case LZMA_RESOURCE_SIZE_MISMATCH:
      text_copy(out, size, "LZMA decoded size mismatch");
      break;
  }
}
