#include "base/own_image_win.h"

#include <cstdint>
#include <cstring>

#include <psapi.h>

#include "base/handle_win.h"
#include "base/log.h"
#include "base/opened_file_win.h"
#include "base/wide_win.h"

namespace {

constexpr DWORD COPY_CHUNK = 64 * 1024;
constexpr DWORD NT_PATH = 1024;

INIT_ONCE g_once = INIT_ONCE_STATIC_INIT;
HANDLE g_image = INVALID_HANDLE_VALUE;
INIT_ONCE g_checked_once = INIT_ONCE_STATIC_INIT;
DWORD g_checked = ERROR_SUCCESS;

BOOL CALLBACK open_image(PINIT_ONCE, PVOID, PVOID*) {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return TRUE;
  // Sharing reading only: a rename or delete (which needs delete access) and any writer are
  // refused with a sharing violation; the loader and readers still open it.
  g_image = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  return TRUE;
}

// The held file is checked once; a mismatch is logged once and refuses every copy.
BOOL CALLBACK check_image(PINIT_ONCE, PVOID, PVOID*) {
  char image[NT_PATH], held[NT_PATH];
  g_checked = own_image_names_mapped_image(g_image, image, held, sizeof image);
  if (g_checked == ERROR_FILE_INVALID) {
    log_error("The file this program holds is not the image it runs (image %s, held %s): no copy of it is made",
              image, held);
  } else if (g_checked != ERROR_SUCCESS) {
    log_error("Cannot tell whether the held file is the image this program runs (error %lu): no copy of it is made",
              g_checked);
  }
  return TRUE;
}

// Reads at explicit offsets, so copies on several threads never share a file position.
DWORD copy_contents(HANDLE image, HANDLE target, char* buffer) {
  uint64_t offset = 0;
  for (;;) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got = 0;
    if (!ReadFile(image, buffer, COPY_CHUNK, &got, &at)) {
      DWORD error = GetLastError();
      if (error != ERROR_HANDLE_EOF) return error;
    }
    if (got == 0) return ERROR_SUCCESS;
    DWORD written = 0;
    if (!WriteFile(target, buffer, got, &written, nullptr)) return GetLastError();
    if (written != got) return ERROR_WRITE_FAULT;
    offset += got;
  }
}

// True when both files hold the same bytes.
bool same_contents(HANDLE a, HANDLE b, char* buffer) {
  LARGE_INTEGER size_a, size_b;
  if (!GetFileSizeEx(a, &size_a) || !GetFileSizeEx(b, &size_b) || size_a.QuadPart != size_b.QuadPart) return false;
  char* other = buffer + COPY_CHUNK;
  for (uint64_t offset = 0; offset < static_cast<uint64_t>(size_a.QuadPart);) {
    OVERLAPPED at_a = {}, at_b = {};
    at_a.Offset = at_b.Offset = static_cast<DWORD>(offset);
    at_a.OffsetHigh = at_b.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD got_a = 0, got_b = 0;
    if (!ReadFile(a, buffer, COPY_CHUNK, &got_a, &at_a) || !ReadFile(b, other, COPY_CHUNK, &got_b, &at_b)) return false;
    if (got_a == 0 || got_a != got_b || memcmp(buffer, other, got_a) != 0) return false;
    offset += got_a;
  }
  return true;
}

// "\??\C:\..." in the device form "\Device\HarddiskVolume3\...": Wine names mapped files
// through the DOS devices folder, Windows by the device itself.
bool to_device_form(wchar_t* path, size_t count) {
  if (wcsncmp(path, L"\\??\\", 4) != 0 || !path[4] || path[5] != L':') return true;
  wchar_t drive[3] = {path[4], L':', 0}, device[NT_PATH];
  DWORD n = QueryDosDeviceW(drive, device, NT_PATH);
  if (n == 0) return false;
  size_t device_length = wcslen(device), rest_length = wcslen(path + 6);
  if (device_length + rest_length >= count) return false;
  memmove(path + device_length, path + 6, (rest_length + 1) * sizeof(wchar_t));
  memcpy(path, device, device_length * sizeof(wchar_t));
  return true;
}

}  // namespace

HANDLE own_image_hold() {
  InitOnceExecuteOnce(&g_once, open_image, nullptr, nullptr);
  return g_image;
}

DWORD own_image_names_mapped_image(HANDLE held, char* image, char* held_name, size_t size) {
  image[0] = held_name[0] = '\0';
  wchar_t mapped[NT_PATH], final_path[NT_PATH];
  // Compared in NT form ("\Device\HarddiskVolume3\..."), the form a mapped file is named in.
  DWORD n = GetMappedFileNameW(GetCurrentProcess(), GetModuleHandleW(nullptr), mapped, NT_PATH);
  if (n == 0 || n >= NT_PATH) return n ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
  if (!to_device_form(mapped, NT_PATH)) return ERROR_PATH_NOT_FOUND;
  n = GetFinalPathNameByHandleW(held, final_path, NT_PATH, FILE_NAME_NORMALIZED | VOLUME_NAME_NT);
  if (n == 0 || n >= NT_PATH) return n ? ERROR_FILENAME_EXCED_RANGE : GetLastError();
  if (CompareStringOrdinal(mapped, -1, final_path, -1, TRUE) == CSTR_EQUAL) return ERROR_SUCCESS;
  wide_to_utf8(mapped, image, size);
  wide_to_utf8(final_path, held_name, size);
  return ERROR_FILE_INVALID;
}

DWORD own_image_copy(const char* target, DWORD disposition) {
  HANDLE image = own_image_hold();
  if (image == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
  InitOnceExecuteOnce(&g_checked_once, check_image, nullptr, nullptr);
  if (g_checked != ERROR_SUCCESS) return ERROR_FILE_INVALID;
  wchar_t wide[MAX_PATH];
  if (!target || utf8_to_wide(target, wide, MAX_PATH) != 0 || !wide[0]) return ERROR_FILENAME_EXCED_RANGE;
  kernel_handle file(CreateFileW(wide, GENERIC_WRITE | DELETE, 0, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return GetLastError();
  heap_block<char> buffer = heap_allocate<char>(COPY_CHUNK);
  DWORD error = buffer ? copy_contents(image, file.get(), buffer.get()) : ERROR_OUTOFMEMORY;
  if (error != ERROR_SUCCESS) {
    FILE_DISPOSITION_INFO remove = {TRUE};
    SetFileInformationByHandle(file.get(), FileDispositionInfo, &remove, sizeof remove);
  }
  return error;
}

DWORD own_image_copy_held(const char* target, HANDLE* held) {
  *held = INVALID_HANDLE_VALUE;
  DWORD error = own_image_copy(target, CREATE_NEW);
  if (error != ERROR_SUCCESS) return error;
  wchar_t wide[MAX_PATH];
  if (utf8_to_wide(target, wide, MAX_PATH) != 0) return ERROR_FILENAME_EXCED_RANGE;
  kernel_handle copy(CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!copy.valid()) return GetLastError();  // a writer still holding it is refused here too
  heap_block<char> buffer = heap_allocate<char>(2 * COPY_CHUNK);
  if (!buffer) return ERROR_OUTOFMEMORY;
  int same = opened_plain_file(copy.get()) && same_contents(own_image_hold(), copy.get(), buffer.get());
  if (!same) return ERROR_FILE_INVALID;
  *held = copy.release();
  return ERROR_SUCCESS;
}
