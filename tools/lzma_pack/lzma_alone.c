#include "lzma_alone.h"

#include <stdlib.h>

#include "LzmaEnc.h"

static void* sz_alloc(void* unused, size_t size) {
  (void)unused;
  return malloc(size);
}
static void sz_free(void* unused, void* address) {
  (void)unused;
  free(address);
}
static ISzAlloc g_alloc = {sz_alloc, sz_free};

enum lzma_alone_result lzma_alone_pack(const unsigned char* data, size_t size, unsigned char** out,
                                       size_t* out_size) {
  *out = NULL;
  *out_size = 0;
  if (size == 0) return LZMA_ALONE_EMPTY;
  if (size > LZMA_ALONE_MAX_SIZE) return LZMA_ALONE_TOO_LARGE;

  /* Incompressible data grows a little; this bound leaves room for the worst case. */
  size_t capacity = size + size / 3 + 128;
  unsigned char* stream = malloc(LZMA_ALONE_HEADER_SIZE + capacity);
  if (!stream) return LZMA_ALONE_NO_MEMORY;

  CLzmaEncProps props;
  LzmaEncProps_Init(&props);
  props.level = 9;
  props.reduceSize = (UInt32)size; /* a dictionary no larger than the input */
  props.numThreads = 1;
  SizeT packed = capacity;
  SizeT props_size = LZMA_PROPS_SIZE;
  /* No end marker: the header carries the size, and the decoder stops there. */
  SRes res = LzmaEncode(stream + LZMA_ALONE_HEADER_SIZE, &packed, data, size, &props, stream, &props_size, 0,
                        NULL, &g_alloc, &g_alloc);
  if (res != SZ_OK || props_size != LZMA_PROPS_SIZE) {
    free(stream);
    return res == SZ_ERROR_MEM ? LZMA_ALONE_NO_MEMORY : LZMA_ALONE_ENCODER_FAILED;
  }
  unsigned long long declared = size;
  for (int i = 0; i < 8; i++) stream[LZMA_PROPS_SIZE + i] = (unsigned char)(declared >> (8 * i));
  *out = stream;
  *out_size = LZMA_ALONE_HEADER_SIZE + packed;
  return LZMA_ALONE_OK;
}
