// bench_download.exe URL DEST: one download with the program's own downloader (rate rule off,
// no progress callback, as the last URL of the walk runs; the package maximum), then
// "bytes=<n> ms=<t> result=<r>".
#include <windows.h>

#include <cstdio>

#include "acquire/download.h"
#include "product/product.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: bench_download.exe URL DEST\n");
    return 2;
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  int result = http_download_file(argv[1], argv[2], nullptr, nullptr, 0, MAX_PACKAGE_BYTES);
  QueryPerformanceCounter(&end);
  WIN32_FILE_ATTRIBUTE_DATA info{};
  unsigned long long bytes = 0;
  if (GetFileAttributesExA(argv[2], GetFileExInfoStandard, &info))
    bytes = (static_cast<unsigned long long>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
  printf("bytes=%llu ms=%.1f result=%d\n", bytes, (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart,
         result);
  DeleteFileA(argv[2]);
  return result == 0 ? 0 : 1;
}
