#include "acquire/zip_memory_source.h"

#include <cstdint>
#include <cstring>
#include <new>

namespace {

struct reader {
  zip_memory memory;
  uint64_t at;
};

reader* reader_of(voidpf stream) { return static_cast<reader*>(stream); }

voidpf ZCALLBACK open_memory(voidpf, const void* memory, int mode) {
  if (!memory || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  return new (std::nothrow) reader{*static_cast<const zip_memory*>(memory), 0};
}

uLong ZCALLBACK read_memory(voidpf, voidpf stream, void* buffer, uLong size) {
  reader* r = reader_of(stream);
  uint64_t left = r->memory.size - r->at;
  uLong count = size < left ? size : static_cast<uLong>(left);
  memcpy(buffer, r->memory.data + r->at, count);
  r->at += count;
  return count;
}

uLong ZCALLBACK write_nothing(voidpf, voidpf, const void*, uLong) { return 0; }

ZPOS64_T ZCALLBACK tell_memory(voidpf, voidpf stream) { return reader_of(stream)->at; }

// A position past the end is refused, as a file's reader would find nothing there.
long ZCALLBACK seek_memory(voidpf, voidpf stream, ZPOS64_T offset, int origin) {
  reader* r = reader_of(stream);
  uint64_t base = origin == ZLIB_FILEFUNC_SEEK_SET ? 0 : origin == ZLIB_FILEFUNC_SEEK_CUR ? r->at : r->memory.size;
  if (offset > r->memory.size - base) return -1;
  r->at = base + offset;
  return 0;
}

int ZCALLBACK close_memory(voidpf, voidpf stream) {
  delete reader_of(stream);
  return 0;
}

int ZCALLBACK no_error(voidpf, voidpf) { return 0; }

}  // namespace

void zip_memory_functions(zlib_filefunc64_def* functions) {
  *functions = {};
  functions->zopen64_file = open_memory;
  functions->zread_file = read_memory;
  functions->zwrite_file = write_nothing;
  functions->ztell64_file = tell_memory;
  functions->zseek64_file = seek_memory;
  functions->zclose_file = close_memory;
  functions->zerror_file = no_error;
}
