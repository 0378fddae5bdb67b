#include "uninstall_support.h"

#include <shlobj.h>

#include <fstream>
#include <sstream>

#include "base/folders_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "product/product.h"

namespace uninstall_test {

namespace {

const char* const TEST_SERVICES[] = {"CorvaneTestStuck", "CorvaneTestIdle", "CorvaneTestObedient"};
const char* const EXTRA_TASK_NAMES[] = {"\\OtherVendor\\CorvaneUICheck"};

void remove_service(const char* name) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) return;
  SC_HANDLE service = OpenServiceW(manager, wide(name).c_str(), SERVICE_ALL_ACCESS);
  if (service) {
    SERVICE_STATUS status = {};
    ControlService(service, SERVICE_CONTROL_STOP, &status);
    SERVICE_STATUS_PROCESS process = {};
    DWORD needed = 0;
    for (int i = 0; i < 30; ++i) {
      if (!QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&process), sizeof process,
                                &needed) ||
          process.dwCurrentState == SERVICE_STOPPED)
        break;
      Sleep(100);
    }
    if (process.dwCurrentState != SERVICE_STOPPED && process.dwProcessId) {
      HANDLE handle = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, process.dwProcessId);
      if (handle) {
        TerminateProcess(handle, 1);
        WaitForSingleObject(handle, 5000);
        CloseHandle(handle);
      }
    }
    DeleteService(service);
    CloseServiceHandle(service);
  }
  CloseServiceHandle(manager);
}

void kill_running_app_copies() {
  run_and_wait("taskkill.exe /F /IM " PRODUCT_APP_EXE, 10000);
}

void delete_product_keys() {
  const std::string uninstall_root = UNINSTALL_ROOT_KEY;
  for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    delete_key(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, view);
    delete_key(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, view);
    delete_key(HKEY_LOCAL_MACHINE, uninstall_root + "\\{5A7C3B1E-0D2F-4E6A-9B8C-1F2E3D4C5B6A}", view);
    delete_key(HKEY_LOCAL_MACHINE, uninstall_root + "\\{0F1E2D3C-4B5A-6978-8796-A5B4C3D2E1F0}", view);
    delete_key(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, view);
    delete_key(HKEY_LOCAL_MACHINE, "Software\\Policies\\Google", view);
    HKEY run;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, wide(RUN_KEY).c_str(), 0, KEY_SET_VALUE | view, &run) == ERROR_SUCCESS) {
      RegDeleteValueW(run, L"" RUN_VALUE_NAME);
      RegCloseKey(run);
    }
  }
  delete_key(HKEY_CURRENT_USER, PRODUCT_REG_KEY, KEY_WOW64_64KEY);
  HKEY run;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, wide(RUN_KEY).c_str(), 0, KEY_SET_VALUE, &run) == ERROR_SUCCESS) {
    RegDeleteValueW(run, L"" RUN_VALUE_NAME);
    RegCloseKey(run);
  }
}

// A task's file under the system's Tasks folder is its name without the leading backslash.
void delete_task_named(const char* name) {
  if (task_file_exists(name[0] == '\\' ? name + 1 : name))
    run_and_wait("schtasks.exe /Delete /TN \"" + std::string(name) + "\" /F", 10000);
}

void delete_tasks() {
  for (size_t i = 0; i < PRODUCT_TASK_NAMES.count; ++i) delete_task_named(PRODUCT_TASK_NAMES.names[i]);
  for (const char* name : EXTRA_TASK_NAMES) delete_task_named(name);
}

void delete_product_files() {
  wipe(known_folder(CSIDL_PROGRAM_FILES) + "\\Corvane Labs");
  std::string appdata = known_folder(CSIDL_COMMON_APPDATA);
  for (size_t i = 0; i < PRODUCT_APPDATA_FOLDERS.count; ++i) wipe(appdata + "\\" + PRODUCT_APPDATA_FOLDERS.names[i]);
  for (int csidl : {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY})
    for (size_t i = 0; i < PRODUCT_SHORTCUTS.count; ++i)
      DeleteFileW(wide(known_folder(csidl) + "\\" + PRODUCT_SHORTCUTS.names[i]).c_str());
}

}  // namespace

int run_command(const std::string& command, DWORD timeout_ms) { return run_and_wait(command, timeout_ms); }

child_process::child_process(const std::string& folder, const char* exe_name, const char* role) {
  std::string exe = folder + "\\" + exe_name;
  CopyFileW(wide(self_path()).c_str(), wide(exe).c_str(), FALSE);
  std::wstring command = wide("\"" + exe + "\" --child " + role);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  if (!CreateProcessW(wide(exe).c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &info_))
    ADD_FAILURE() << "cannot start " << exe << " (gle=" << GetLastError() << ")";
}

child_process::~child_process() {
  if (!info_.hProcess) return;
  if (WaitForSingleObject(info_.hProcess, 0) != WAIT_OBJECT_0) {
    TerminateProcess(info_.hProcess, 99);
    WaitForSingleObject(info_.hProcess, 5000);
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool child_process::wait_for_window() const {
  struct search {
    DWORD pid;
    bool found;
  } s = {info_.dwProcessId, false};
  for (int i = 0; i < 200 && !s.found; ++i) {
    EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
          auto* s = reinterpret_cast<search*>(context);
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == s->pid) s->found = true;
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&s));
    if (!s.found) Sleep(50);
  }
  return s.found;
}

DWORD child_process::exit_code(DWORD timeout_ms) const {
  if (!info_.hProcess || WaitForSingleObject(info_.hProcess, timeout_ms) != WAIT_OBJECT_0) return STILL_ACTIVE;
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

test_service::test_service(const char* name, const char* mode, bool start) : name_(name) {
  remove_service(name);
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  if (!manager) {
    ADD_FAILURE() << "OpenSCManager (gle=" << GetLastError() << ")";
    return;
  }
  std::string binary = "\"" + self_path() + "\" --child service " + name + " " + mode;
  SC_HANDLE service = CreateServiceW(manager, wide(name).c_str(), wide(name).c_str(), SERVICE_ALL_ACCESS,
                                     SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_IGNORE,
                                     wide(binary).c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
  EXPECT_NE(service, nullptr) << "CreateService " << name << " (gle=" << GetLastError() << ")";
  if (service && start) {
    EXPECT_TRUE(StartServiceW(service, 0, nullptr)) << "StartService (gle=" << GetLastError() << ")";
    for (int i = 0; i < 100 && state() != SERVICE_RUNNING; ++i) Sleep(50);
    EXPECT_EQ(state(), static_cast<DWORD>(SERVICE_RUNNING));
  }
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
}

test_service::~test_service() { remove_service(name_.c_str()); }

namespace {
bool query_service(const std::string& name, SERVICE_STATUS_PROCESS* status) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!manager) return false;
  SC_HANDLE service = OpenServiceW(manager, wide(name).c_str(), SERVICE_QUERY_STATUS);
  DWORD needed = 0;
  bool ok = service && QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(status),
                                            sizeof *status, &needed);
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return ok;
}
}  // namespace

DWORD test_service::process_id() const {
  SERVICE_STATUS_PROCESS status = {};
  return query_service(name_, &status) ? status.dwProcessId : 0;
}

DWORD test_service::state() const {
  SERVICE_STATUS_PROCESS status = {};
  return query_service(name_, &status) ? status.dwCurrentState : 0;
}

bool service_exists(const char* name) {
  SC_HANDLE manager = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT);
  if (!manager) return false;
  SC_HANDLE service = OpenServiceW(manager, wide(name).c_str(), SERVICE_QUERY_STATUS);
  if (service) CloseServiceHandle(service);
  CloseServiceHandle(manager);
  return service != nullptr;
}

void wipe_product_footprint() {
  kill_running_app_copies();
  for (size_t i = 0; i < PRODUCT_SERVICES.count; ++i) remove_service(PRODUCT_SERVICES.names[i]);
  for (const char* name : TEST_SERVICES) remove_service(name);
  delete_product_keys();
  delete_tasks();
  delete_product_files();
}

}  // namespace uninstall_test
