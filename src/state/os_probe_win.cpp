#include <windows.h>

#include "app/bounded_text.h"
#include "state/os_names.h"
#include "state/os_probe.h"

void probe_os_version(install_state* state) {
  OSVERSIONINFOEXW info = {};
  info.dwOSVersionInfoSize = sizeof info;
  // Reports the real version only because the manifest declares Windows 10/11 support.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExW(reinterpret_cast<OSVERSIONINFOW*>(&info))) return;
#pragma GCC diagnostic pop
  text_format(state->os_version, sizeof state->os_version, "%lu.%lu.%lu", info.dwMajorVersion, info.dwMinorVersion,
              info.dwBuildNumber);
  text_format(state->os_build, sizeof state->os_build, "%lu", info.dwBuildNumber);
}

void probe_os_architecture(install_state* state) {
  typedef BOOL(WINAPI * is_wow64_process2_fn)(HANDLE, USHORT*, USHORT*);
  auto is_wow64_process2 = reinterpret_cast<is_wow64_process2_fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process2")));
  USHORT process_machine = 0, native_machine = 0;
  int have_native = is_wow64_process2 && is_wow64_process2(GetCurrentProcess(), &process_machine, &native_machine);
  SYSTEM_INFO info = {};
  GetNativeSystemInfo(&info);
  text_copy(state->os_architecture,
            os_architecture_text(have_native, native_machine, info.wProcessorArchitecture));
}

int is_process_elevated() {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sid_size = sizeof sid;
  if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sid_size)) return 0;
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, sid, &member)) return 0;
  return member ? 1 : 0;
}
