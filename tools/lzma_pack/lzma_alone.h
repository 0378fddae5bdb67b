/* Packs bytes as an LZMA-alone stream for the setup program's resource 101: 5 bytes of LZMA
   properties, the uncompressed size as 8 bytes little-endian (the real size: the program
   refuses the "unknown size" marker that other packers write), then the compressed data. */
#ifndef LZMA_ALONE_H
#define LZMA_ALONE_H

#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

enum { LZMA_ALONE_HEADER_SIZE = 13 };
/* The largest size the program will decode; a larger input could never be unpacked. */
#define LZMA_ALONE_MAX_SIZE ((size_t)32 * 1024 * 1024)

enum lzma_alone_result { LZMA_ALONE_OK = 0, LZMA_ALONE_EMPTY, LZMA_ALONE_TOO_LARGE, LZMA_ALONE_NO_MEMORY,
                         LZMA_ALONE_ENCODER_FAILED };

/* On LZMA_ALONE_OK *out holds the whole stream (header included, malloc'd, the caller frees
   it) and *out_size its length; on any other result *out is null. */
enum lzma_alone_result lzma_alone_pack(const unsigned char* data, size_t size, unsigned char** out,
                                       size_t* out_size);

#ifdef __cplusplus
}
#endif

#endif
