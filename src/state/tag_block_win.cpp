#include <windows.h>

#include "base/base64.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "state/tag_block.h"

namespace {

// The destructor unmaps the view before the member handle closes the mapping.
struct mapping {
  kernel_handle handle;
  const void* view = nullptr;
  ~mapping() {
    if (view) UnmapViewOfFile(view);
  }
};

}  // namespace

int read_tag_block_file(const wchar_t* path, char* out, size_t out_size) {
  if (!out || out_size == 0) return -1;
  out[0] = '\0';
  kernel_handle file(
      CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  LARGE_INTEGER size{};
  if (!file.valid() || !GetFileSizeEx(file.get(), &size) || size.QuadPart == 0) return -1;
  if (static_cast<unsigned long long>(size.QuadPart) > static_cast<SIZE_T>(-1)) return -1;
  mapping map;
  map.handle.reset(CreateFileMappingW(file.get(), nullptr, PAGE_READONLY, 0, 0, nullptr));
  if (map.handle.valid()) map.view = MapViewOfFile(map.handle.get(), FILE_MAP_READ, 0, 0, 0);
  if (!map.view) {
    log_debug("read_tag_block: cannot map the executable (gle=%lu)", GetLastError());
    return -1;
  }
  return tag_block_find(static_cast<const uint8_t*>(map.view), static_cast<size_t>(size.QuadPart), out, out_size);
}

int read_tag_block(char out[TAG_BUFFER]) {
  out[0] = '\0';
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return -1;
  return read_tag_block_file(path, out, TAG_BUFFER);
}

int read_decoded_tag(char out[TAG_BUFFER]) {
  out[0] = '\0';
  char tag[TAG_BUFFER];
  if (read_tag_block(tag) <= 0) return -1;
  base64_decode(tag, out, TAG_BUFFER);
  return out[0] ? 0 : -1;
}

int tag_uninstall_first() {
  char decoded[TAG_BUFFER];
  if (read_decoded_tag(decoded) != 0) return -1;
  return uninstall_first_preference(decoded);
}
