#include "ui/page_bundle_win.h"

#include <windows.h>
#include <shlwapi.h>

#include <cstdint>

#include "acquire/embedded_resources.h"
#include "acquire/zip_memory_source.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "unzip.h"

namespace {

// No entry of the bundle comes near this; a bigger size means a damaged directory, and no
// allocation follows it.
constexpr uint64_t ENTRY_MAX_BYTES = 16u << 20;

struct bundle_state {
  zip_memory memory;
  unzFile zip;
  DWORD error;  // ERROR_IO_PENDING until opened or refused
};
bundle_state g_bundle = {{nullptr, 0}, nullptr, ERROR_IO_PENDING};

DWORD open_bundle() {
  if (find_embedded_resource(RESOURCE_UI_BUNDLE, &g_bundle.memory.data, &g_bundle.memory.size) != 0) {
    log_warn("CorvaneSetupUI.zip not embedded in this build");
    return ERROR_RESOURCE_DATA_NOT_FOUND;
  }
  zlib_filefunc64_def functions;
  zip_memory_functions(&functions);
  g_bundle.zip = unzOpen2_64(&g_bundle.memory, &functions);
  unz_global_info64 global;
  if (!g_bundle.zip || unzGetGlobalInfo64(g_bundle.zip, &global) != UNZ_OK) {
    log_error("UI bundle is no readable ZIP (%lu bytes)", static_cast<unsigned long>(g_bundle.memory.size));
    return ERROR_INVALID_DATA;
  }
  log_info("UI pages served from memory (%llu entries)", static_cast<unsigned long long>(global.number_entry));
  return 0;
}

// The current entry's bytes, checked against its declared size and CRC; -1 when damaged.
int read_current(uint64_t size, heap_block<unsigned char>& bytes) {
  if (size > ENTRY_MAX_BYTES || unzOpenCurrentFile(g_bundle.zip) != UNZ_OK) return -1;
  bytes = heap_allocate<unsigned char>(static_cast<size_t>(size) + 1);
  int got = bytes ? unzReadCurrentFile(g_bundle.zip, bytes.get(), static_cast<unsigned>(size) + 1) : -1;
  // Asked for one byte beyond the size: a stream that holds more (or less) is no entry of ours.
  bool whole = got >= 0 && static_cast<uint64_t>(got) == size;
  int closed = unzCloseCurrentFile(g_bundle.zip);
  return whole && closed == UNZ_OK ? 0 : -1;
}

}  // namespace

int page_bundle_open() {
  if (g_bundle.error == ERROR_IO_PENDING) g_bundle.error = open_bundle();
  if (g_bundle.error == 0) return 0;
  SetLastError(g_bundle.error);
  return -1;
}

IStream* page_bundle_stream(const char* name) {
  if (page_bundle_open() != 0 || unzLocateFile(g_bundle.zip, name, 1) != UNZ_OK) return nullptr;
  unz_file_info64 info;
  heap_block<unsigned char> bytes;
  if (unzGetCurrentFileInfo64(g_bundle.zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
      read_current(info.uncompressed_size, bytes) != 0) {
    log_error("UI bundle entry %s is damaged", name);
    return nullptr;
  }
  IStream* stream = SHCreateMemStream(bytes.get(), static_cast<UINT>(info.uncompressed_size));
  if (!stream) log_error("No memory for UI bundle entry %s (%llu bytes)", name,
                         static_cast<unsigned long long>(info.uncompressed_size));
  return stream;
}

void page_bundle_close() {
  if (g_bundle.zip) unzClose(g_bundle.zip);
  g_bundle = {{nullptr, 0}, nullptr, ERROR_IO_PENDING};
}
