// minizip's reading functions over bytes already in memory (the page bundle in the program's
// resources), so that unpacking it needs no copy of the archive on disk.
#pragma once

#include <cstddef>

#include "ioapi.h"

struct zip_memory {
  const unsigned char* data;
  size_t size;
};

// Fills functions so that unzOpen2_64(&memory, functions) reads memory, which must outlive
// the archive's handle.
void zip_memory_functions(zlib_filefunc64_def* functions);
