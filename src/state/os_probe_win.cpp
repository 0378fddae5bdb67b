#include <windows.h>

#include "base/bounded_text.h"
#include "base/reg_view_win.h"
#include "base/wide_win.h"
#include "state/os_names.h"
#include "state/os_probe.h"
#include "state/system_text.h"

namespace {

template <typename F>
F kernel32_function(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name)));
}

void fill_edition(install_state* state, const OSVERSIONINFOEXW& info) {
  if (info.wProductType != VER_NT_WORKSTATION) {
    text_copy(state->os_edition, os_server_edition(info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber));
    return;
  }
  typedef BOOL(WINAPI * get_product_info_fn)(DWORD, DWORD, DWORD, DWORD, PDWORD);
  auto get_product_info = kernel32_function<get_product_info_fn>("GetProductInfo");
  DWORD type = 0;
  if (!get_product_info ||
      !get_product_info(info.dwMajorVersion, info.dwMinorVersion, info.wServicePackMajor, info.wServicePackMinor, &type))
    return;
  os_edition_text(type, state->os_edition, sizeof state->os_edition);
}

}  // namespace

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
  os_name_text(info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber, info.wProductType == VER_NT_WORKSTATION,
               state->os_name, sizeof state->os_name);
  fill_edition(state, info);
}

void probe_os_architecture(install_state* state) {
  typedef BOOL(WINAPI * is_wow64_process2_fn)(HANDLE, USHORT*, USHORT*);
  auto is_wow64_process2 = kernel32_function<is_wow64_process2_fn>("IsWow64Process2");
  USHORT process_machine = 0, native_machine = 0;
  int have_native = is_wow64_process2 && is_wow64_process2(GetCurrentProcess(), &process_machine, &native_machine);
  SYSTEM_INFO info = {};
  GetNativeSystemInfo(&info);
  text_copy(state->os_architecture, os_architecture_text(have_native, native_machine, info.wProcessorArchitecture));
}

void probe_os_language(install_state* state) {
  LCID locale = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
  wchar_t name[64], language[8], country[8];
  if (GetLocaleInfoW(locale, LOCALE_SENGLANGUAGE, name, 64) > 0)
    wide_to_utf8(name, state->os_language, sizeof state->os_language);
  if (GetLocaleInfoW(locale, LOCALE_SISO639LANGNAME, language, 8) <= 0) return;
  if (GetLocaleInfoW(locale, LOCALE_SISO3166CTRYNAME, country, 8) <= 0) country[0] = L'\0';
  char lang8[8], country8[8];
  wide_to_utf8(language, lang8, sizeof lang8);
  wide_to_utf8(country, country8, sizeof country8);
  if (country8[0]) text_format(state->os_language_code, sizeof state->os_language_code, "%s-%s", lang8, country8);
  else text_copy(state->os_language_code, lang8);
}

void probe_display_scale(install_state* state) {
  HDC screen = GetDC(nullptr);
  if (!screen) return;
  // Real only under per-monitor DPI awareness (the manifest); otherwise always 96 dpi.
  text_format(state->os_display_scale, sizeof state->os_display_scale, "%d", GetDeviceCaps(screen, LOGPIXELSX) * 100 / 96);
  ReleaseDC(nullptr, screen);
}

void probe_memory(install_state* state) {
  MEMORYSTATUSEX memory = {};
  memory.dwLength = sizeof memory;
  if (!GlobalMemoryStatusEx(&memory)) return;
  text_format(state->os_memory_mb, sizeof state->os_memory_mb, "%llu",
              static_cast<unsigned long long>(memory.ullTotalPhys >> 20));
}

void probe_os_install_date(install_state* state) {
  uint32_t seconds = 0;
  if (reg_read_dword(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", REG_VIEW_64, "InstallDate",
                     &seconds) != ERROR_SUCCESS)
    return;
  unix_date_text(seconds, state->os_install_date, sizeof state->os_install_date);
}

void probe_timezone(install_state* state) {
  TIME_ZONE_INFORMATION zone = {};
  DWORD result = GetTimeZoneInformation(&zone);
  if (result == TIME_ZONE_ID_INVALID) return;
  char name[64];
  wide_to_utf8(result == TIME_ZONE_ID_DAYLIGHT ? zone.DaylightName : zone.StandardName, name, sizeof name);
  timezone_text(timezone_bias(zone.Bias, zone.StandardBias, zone.DaylightBias, result), name, state->os_timezone,
                sizeof state->os_timezone);
}

void probe_default_browser(install_state* state) {
  char progid[128];
  if (!reg_found_text(reg_read_text(
          HKEY_CURRENT_USER, "SOFTWARE\\Microsoft\\Windows\\Shell\\Associations\\UrlAssociations\\https\\UserChoice",
          REG_VIEW_64, "ProgId", progid, sizeof progid)))
    return;
  browser_from_progid(progid, state->browser_name_default, sizeof state->browser_name_default);
}

void probe_user_and_computer_names(install_state* state) {
  wchar_t name[256];
  DWORD count = 256;
  if (GetComputerNameW(name, &count)) wide_to_utf8(name, state->computer_name, sizeof state->computer_name);
  count = 256;
  if (GetUserNameW(name, &count)) wide_to_utf8(name, state->user_name, sizeof state->user_name);
}

void probe_free_disk(install_state* state) {
  ULARGE_INTEGER available = {};
  if (!GetDiskFreeSpaceExW(L"C:\\", &available, nullptr, nullptr)) return;
  text_format(state->free_disk_mb, sizeof state->free_disk_mb, "%llu",
              static_cast<unsigned long long>(available.QuadPart >> 20));
}

void probe_system(install_state* state) {
  probe_os_version(state);
  probe_os_architecture(state);
  probe_os_language(state);
  probe_display_scale(state);
  probe_antivirus_start(state);
  probe_memory(state);
  probe_os_install_date(state);
  probe_timezone(state);
  probe_default_browser(state);
}
