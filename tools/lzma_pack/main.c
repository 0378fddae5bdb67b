/* lzma_pack IN OUT: writes IN as an LZMA-alone stream to OUT (see lzma_alone.h). A build
   step of the setup program, run on the build machine. */
#include <stdio.h>
#include <stdlib.h>

#include "lzma_alone.h"

static unsigned char* read_file(const char* path, size_t* size) {
  FILE* f = fopen(path, "rb");
  if (!f) return NULL;
  unsigned char* data = NULL;
  long length = -1;
  if (fseek(f, 0, SEEK_END) == 0 && (length = ftell(f)) >= 0 && fseek(f, 0, SEEK_SET) == 0) {
    data = malloc(length > 0 ? (size_t)length : 1);
    if (data && fread(data, 1, (size_t)length, f) != (size_t)length) {
      free(data);
      data = NULL;
    }
  }
  fclose(f);
  *size = (size_t)length;
  return data;
}

static int write_file(const char* path, const unsigned char* data, size_t size) {
  FILE* f = fopen(path, "wb");
  if (!f) return -1;
  int ok = fwrite(data, 1, size, f) == size;
  ok = (fclose(f) == 0) && ok;
  if (!ok) remove(path);
  return ok ? 0 : -1;
}

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: %s IN OUT\n", argv[0]);
    return 2;
  }
  size_t size = 0;
  unsigned char* data = read_file(argv[1], &size);
  if (!data) {
    perror(argv[1]);
    return 1;
  }
  static const char* const reasons[] = {"", "the input is empty", "the input is larger than the 32 MiB the program decodes",
                                        "out of memory", "the encoder failed"};
  unsigned char* stream = NULL;
  size_t stream_size = 0;
  enum lzma_alone_result result = lzma_alone_pack(data, size, &stream, &stream_size);
  free(data);
  if (result != LZMA_ALONE_OK) {
    fprintf(stderr, "lzma_pack: %s: %s\n", argv[1], reasons[result]);
    return 1;
  }
  int written = write_file(argv[2], stream, stream_size);
  free(stream);
  if (written != 0) {
    perror(argv[2]);
    return 1;
  }
  printf("lzma_pack: %s (%zu bytes) -> %s (%zu bytes)\n", argv[1], size, argv[2], stream_size);
  return 0;
}
