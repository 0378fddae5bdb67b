#include "acquire/embedded_resources.h"

#include <windows.h>

#include "acquire/lzma_resource.h"
#include "base/bounded_text.h"
#include "base/delete_tree.h"
#include "base/folders_win.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/path_text.h"
#include "base/private_folder_win.h"
#include "base/wide_win.h"

namespace {

constexpr char LOADER_FILE[] = "WebView2Loader.dll";

// Writes the decoded loader to a new file; 0, or the Win32 error with the failure's text.
DWORD write_loader_file(const char* path, const void* data, size_t size, char* message, size_t message_size) {
  wchar_t wide[MAX_PATH];
  if (utf8_to_wide(path, wide, MAX_PATH) != 0) {
    text_format(message, message_size, "CreateFile failed: %.200s (err=%lu)", path, ERROR_FILENAME_EXCED_RANGE);
    return ERROR_FILENAME_EXCED_RANGE;
  }
  kernel_handle file(CreateFileW(wide, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    DWORD error = GetLastError();
    text_format(message, message_size, "CreateFile failed: %.200s (err=%lu)", path, error);
    return error;
  }
  DWORD written = 0;
  if (size > MAXDWORD || !WriteFile(file.get(), data, static_cast<DWORD>(size), &written, nullptr) ||
      written != size) {
    DWORD error = GetLastError();
    text_copy(message, message_size, "WriteFile failed for LZMA blob");
    return error ? error : ERROR_WRITE_FAULT;
  }
  return 0;
}

void extract_loader(const char* folder) {
  const unsigned char* stream = nullptr;
  size_t stream_size = 0;
  if (find_embedded_resource(RESOURCE_WEBVIEW2_LOADER, &stream, &stream_size) != 0) {
    log_warn("WebView2Loader.dll not embedded in this build");
    return;
  }
  char message[LZMA_RESOURCE_MESSAGE_SIZE] = "";
  char path[MAX_PATH];
  lzma_resource_decoded decoded;
  lzma_resource_result result = lzma_resource_decode(stream, stream_size, &decoded);
  if (result != LZMA_RESOURCE_OK) {
    lzma_resource_message(result, decoded, message, sizeof message);
  } else if (join_path(folder, LOADER_FILE, path, sizeof path) != 0) {
    text_format(message, sizeof message, "CreateFile failed: %.200s\\%s (err=%lu)", folder, LOADER_FILE,
                ERROR_FILENAME_EXCED_RANGE);
  } else if (write_loader_file(path, decoded.data, decoded.size, message, sizeof message) == 0) {
    log_info("Extracted WebView2Loader.dll -> %s", path);
  }
  if (message[0]) log_error("WebView2Loader.dll LZMA decode failed: %s", message);
  lzma_resource_free(&decoded);
}

}  // namespace

int find_embedded_resource(int id, const unsigned char** data, size_t* size) {
  *data = nullptr;
  *size = 0;
  HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!found) {
    log_debug("FindResource: resource %d not embedded (err=%lu)", id, GetLastError());
    return -1;
  }
  HGLOBAL loaded = LoadResource(nullptr, found);
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  DWORD length = SizeofResource(nullptr, found);
  if (!bytes || length == 0) return -1;
  *data = static_cast<const unsigned char*>(bytes);
  *size = length;
  return 0;
}

// In the run's private folder: the loader DLL is loaded from here, so no other process of the
// user may put a file under its name. The pages are never written out: the screens serve them
// from memory.
int extraction_folder(char* out, size_t size) {
  char folder[MAX_PATH + 1];
  if (private_folder(folder, sizeof folder) != 0) return -1;
  if (!text_format(out, size, "%sCorvaneInstaller-%lu", folder, GetCurrentProcessId())) {
    out[0] = '\0';
    return -1;
  }
  return 0;
}

int extract_embedded_loader(char* folder_out, size_t size) {
  char folder[MAX_PATH];
  wchar_t wide[MAX_PATH];
  if (size) folder_out[0] = '\0';
  if (extraction_folder(folder, sizeof folder) != 0 || utf8_to_wide(folder, wide, MAX_PATH) != 0) {
    SetLastError(ERROR_FILENAME_EXCED_RANGE);
    return -1;
  }
  // A folder of this name left by an earlier process with the same id goes first.
  delete_tree_force(folder);
  if (!CreateDirectoryW(wide, nullptr)) {
    DWORD error = GetLastError();
    text_copy(folder_out, size, folder);
    SetLastError(error);
    return -1;
  }
  // Named once: the pages no longer pass through it, and a build without the loader writes nothing here.
  log_info("Extraction folder: %s", folder);
  extract_loader(folder);
  if (!text_copy(folder_out, size, folder)) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return -1;
  }
  return 0;
}
