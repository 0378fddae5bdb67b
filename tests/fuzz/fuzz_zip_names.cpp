// ZIP entry names are outside input: whatever the bytes, an accepted name must stay below
// the destination when Windows resolves it, and no rule may read or write past its buffer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "acquire/zip_extract_rules.h"

namespace {

// An oracle apart from the rules' own wording: walk the joined path as Win32 would at worst
// (a component of dots and spaces only, once trimmed, may act as "..") and fail when it
// climbs above the destination.
bool stays_below_destination(const std::string& relative) {
  int depth = 0;
  size_t start = 0;
  for (;;) {
    size_t end = relative.find('\\', start);
    std::string part = relative.substr(start, end == std::string::npos ? std::string::npos : end - start);
    if (part.find_last_not_of(". ") != std::string::npos) {
      ++depth;
    } else if (std::count(part.begin(), part.end(), '.') >= 2 && --depth < 0) {
      return false;
    }
    if (end == std::string::npos) return true;
    start = end + 1;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t out_size = 1 + data[0] % 260;
  std::string name(reinterpret_cast<const char*>(data + 1), size - 1);  // cut at the first NUL, as the reader's name is

  char* out = static_cast<char*>(malloc(out_size));  // exact size, so ASan sees any overrun
  int kind = zip_entry_path(name.c_str(), out, out_size);
  if (strnlen(out, out_size) >= out_size) abort();
  if (kind == ZIP_ENTRY_REFUSED) {
    if (out[0] != '\0') abort();
  } else {
    if (kind != ZIP_ENTRY_FILE && kind != ZIP_ENTRY_FOLDER) abort();
    if (strchr(out, ':') || strchr(out, '/') || out[0] == '\\') abort();
    if (!stays_below_destination(out)) abort();
  }
  free(out);

  if (directory_root_length(name.c_str()) > strlen(name.c_str())) abort();
  char printable[64];
  zip_entry_name_for_log(name.c_str(), printable, sizeof printable);
  for (const char* p = printable; *p; ++p) {
    if (*p < 0x20 || *p > 0x7E) abort();
  }
  zip_is_empty_archive(data, size, size);
  return 0;
}
