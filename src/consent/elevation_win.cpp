#include "consent/elevation_win.h"

#include <cstring>

#include "base/folders_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "consent/elevation_seam_win.h"
#include "consent/relaunch_arguments.h"
#include "product/product.h"
#include "state/os_probe.h"
#include "ui/host_window_win.h"
#include "uninstall/temp_uninstaller.h"

BOOL(WINAPI* elevation_shell_execute)(SHELLEXECUTEINFOW* info) = ShellExecuteExW;

namespace {

constexpr DWORD TEMP_COPY_POLL_MS = 50;

// The elevated start itself, with UTF-8 path and parameters.
DWORD launch_elevated(const char* path, const char* parameters, HWND owner, HANDLE* process) {
  *process = nullptr;
  wchar_t file[MAX_PATH], folder[MAX_PATH];
  size_t count = strlen(parameters) + 1;
  heap_block<wchar_t> wide = heap_allocate<wchar_t>(count);
  if (!wide) return ERROR_OUTOFMEMORY;
  if (utf8_to_wide(path, file, MAX_PATH) != 0 || utf8_to_wide(parameters, wide.get(), count) != 0)
    return ERROR_FILENAME_EXCED_RANGE;
  UINT n = GetSystemDirectoryW(folder, MAX_PATH);
  SHELLEXECUTEINFOW info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOZONECHECKS;
  info.hwnd = owner;
  info.lpVerb = L"runas";
  info.lpFile = file;
  info.lpParameters = wide.get();
  info.lpDirectory = (n > 0 && n < MAX_PATH) ? folder : nullptr;
  info.nShow = SW_SHOWNORMAL;
  if (!elevation_shell_execute(&info)) {
    DWORD error = GetLastError();
    return error ? error : ERROR_GEN_FAILURE;
  }
  *process = info.hProcess;
  return ERROR_SUCCESS;
}

}  // namespace

bool token_is_admin() { return is_process_elevated(); }

DWORD elevate_self(const char* switches, HWND owner, HANDLE* process) {
  *process = nullptr;
  char path[MAX_PATH];
  if (module_path(path, sizeof path) != 0) return GetLastError() ? GetLastError() : ERROR_FILENAME_EXCED_RANGE;
  heap_block<char> own(wide_to_utf8_heap(GetCommandLineW()));
  if (!own) return ERROR_OUTOFMEMORY;
  const char* arguments = command_line_arguments(own.get());
  size_t size = strlen(arguments) + strlen(switches ? switches : "") + 2;
  heap_block<char> parameters = heap_allocate<char>(size);
  if (!parameters) return ERROR_OUTOFMEMORY;
  if (elevation_parameters(arguments, switches, parameters.get(), size) != 0) return ERROR_INSUFFICIENT_BUFFER;
  return launch_elevated(path, parameters.get(), owner, process);
}

DWORD elevate_temp_copy(const char* path, const char* switches, HWND owner, HANDLE* process) {
  *process = nullptr;
  if (!path || !path[0]) return ERROR_BAD_ARGUMENTS;
  return launch_elevated(path, switches ? switches : "", owner, process);
}

int temp_copy_ready(char* out, size_t size) {
  DWORD start = GetTickCount();
  while (!temp_uninstaller_staged()) {
    if (GetTickCount() - start >= TEMP_COPY_WAIT_MS) {
      log_warn("Temp uninstaller not staged within %lu ms", static_cast<unsigned long>(TEMP_COPY_WAIT_MS));
      if (size) out[0] = '\0';
      return -1;
    }
    Sleep(TEMP_COPY_POLL_MS);
  }
  return temp_uninstaller_ready(out, size);
}

HANDLE create_ready_event() { return CreateEventA(nullptr, TRUE, FALSE, UI_READY_EVENT_NAME); }

elevated_ui_wait wait_for_elevated_ui(HANDLE ready_event, HANDLE child) {
  HANDLE handles[2];
  DWORD count = 0;
  if (ready_event) handles[count++] = ready_event;
  if (child) handles[count++] = child;
  elevated_ui_wait result = {elevated_ui_outcome::timed_out, 0, 0};
  int woke = ui_wait_dispatching(handles, count, ELEVATED_UI_WAIT_MS);
  if (woke >= 0 && handles[woke] == ready_event) {
    result.outcome = elevated_ui_outcome::ready;
  } else if (woke >= 0) {
    DWORD code = 0;
    GetExitCodeProcess(child, &code);
    result = {elevated_ui_outcome::exited, code, 0};
  } else {
    result.still_running = child && WaitForSingleObject(child, 0) == WAIT_TIMEOUT;
  }
  return result;
}
