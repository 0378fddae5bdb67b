#include "win_support.h"

#include <shlobj.h>

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "base/folders_win.h"
#include "base/log.h"
#include "base/wide_win.h"

namespace test_support {

std::wstring wide(const std::string& text) {
  std::wstring out(text.size() + 1, L'\0');
  int n = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()));
  out.resize(n > 0 ? n - 1 : 0);
  return out;
}

std::string read_file(const std::string& path) {
  std::ifstream in(wide(path).c_str(), std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream out(wide(path).c_str(), std::ios::binary | std::ios::trunc);
  out << text;
}

bool exists(const std::string& path) { return GetFileAttributesW(wide(path).c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string self_path() {
  char path[MAX_PATH];
  module_path(path, sizeof path);
  return path;
}

std::string module_folder() {
  std::string path = self_path();
  return path.substr(0, path.find_last_of('\\'));
}

std::string temp_path(const std::string& name) {
  char temp[MAX_PATH + 1];
  temp_folder(temp, sizeof temp);
  return std::string(temp) + name;
}

std::string known_folder(int csidl) {
  wchar_t path[MAX_PATH];
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return "";
  char utf8[MAX_PATH * 3];
  wide_to_utf8(path, utf8, sizeof utf8);
  return utf8;
}

int run_and_wait(const std::string& command, DWORD timeout_ms, const wchar_t* application) {
  std::wstring line = wide(command);
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(application, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si,
                      &pi))
    return -1;
  DWORD code = static_cast<DWORD>(-1);
  if (WaitForSingleObject(pi.hProcess, timeout_ms) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

void wipe(const std::string& path) {
  std::wstring folder = wide(path);
  DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return;
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    WIN32_FIND_DATAW found;
    HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        char utf8[MAX_PATH * 3];
        wide_to_utf8(found.cFileName, utf8, sizeof utf8);
        wipe(path + "\\" + utf8);
      } while (FindNextFileW(find, &found));
      FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
    return;
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
    remove_link(path);
    return;
  }
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(folder.c_str());
}

void remove_link(const std::string& link_path) {
  std::wstring link = wide(link_path);
  typedef char*(CDECL * unix_name_fn)(LPCWSTR);
  auto unix_name = reinterpret_cast<unix_name_fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  char* name = unix_name ? unix_name(link.c_str()) : nullptr;
  if (!name) {
    if (!RemoveDirectoryW(link.c_str())) DeleteFileW(link.c_str());
    return;
  }
  run_and_wait(std::string("rm \"") + name + "\"", 10000, L"Z:\\bin\\rm");
  HeapFree(GetProcessHeap(), 0, name);
  for (int i = 0; i < 100 && GetFileAttributesW(link.c_str()) != INVALID_FILE_ATTRIBUTES; ++i) Sleep(50);
}

bool make_link(const std::string& link_path, const std::string& target) {
  typedef char*(CDECL * unix_name_fn)(LPCWSTR);
  auto unix_name = reinterpret_cast<unix_name_fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
  if (!unix_name) {
    DWORD target_attributes = GetFileAttributesW(wide(target).c_str());
    bool folder = target_attributes != INVALID_FILE_ATTRIBUTES && (target_attributes & FILE_ATTRIBUTE_DIRECTORY);
    CreateSymbolicLinkW(wide(link_path).c_str(), wide(target).c_str(), folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0);
  } else {
    // The link does not exist yet, so its Unix name is found through its folder.
    size_t cut = link_path.find_last_of('\\');
    char* folder = unix_name(wide(link_path.substr(0, cut)).c_str());
    char* to = unix_name(wide(target).c_str());
    if (folder && to)
      run_and_wait(std::string("ln -s \"") + to + "\" \"" + folder + "/" + link_path.substr(cut + 1) + "\"", 10000,
                   L"Z:\\bin\\ln");
    HeapFree(GetProcessHeap(), 0, folder);
    HeapFree(GetProcessHeap(), 0, to);
  }
  // Wine reports a Unix tool ended before its work shows; the link is waited for.
  for (int i = 0; i < 100; ++i) {
    DWORD attributes = GetFileAttributesW(wide(link_path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    Sleep(50);
  }
  return false;
}

scratch_dir::scratch_dir(const char* name) : path_(temp_path(name)) {
  wipe(path_);
  CreateDirectoryW(wide(path_).c_str(), nullptr);
}

scratch_dir::scratch_dir(full_path_t, const std::string& path) : path_(path) {
  wipe(path_);
  SHCreateDirectoryExW(nullptr, wide(path_).c_str(), nullptr);
}

captured_log::captured_log(const char* component, int channel) : channel_(channel) {
  static std::atomic<int> serial{0};
  path_ = temp_path("corvane-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial) + ".log");
  DeleteFileW(wide(path_).c_str());
  log_open(channel_, path_.c_str(), component);
}

captured_log::~captured_log() {
  log_close(channel_);
  DeleteFileW(wide(path_).c_str());
}

void create_task(const std::string& name) {
  scratch_dir dir("test-task-xml");
  std::string xml = dir.sub("task.xml");
  write_file(xml,
             "<?xml version=\"1.0\"?>\n"
             "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\n"
             "  <Actions Context=\"Author\"><Exec><Command>C:\\windows\\system32\\notepad.exe</Command></Exec>"
             "</Actions>\n</Task>\n");
  int code = run_and_wait("schtasks.exe /Create /XML \"" + xml + "\" /TN \"" + name + "\"", 30000);
  if (code != 0) ADD_FAILURE() << "schtasks could not create " << name << " (exit " << code << ")";
}

bool task_file_exists(const std::string& file_name) {
  wchar_t system[MAX_PATH];
  GetSystemDirectoryW(system, MAX_PATH);
  char utf8[MAX_PATH * 3];
  wide_to_utf8(system, utf8, sizeof utf8);
  return exists(std::string(utf8) + "\\Tasks\\" + file_name);
}

int captured_log::count(const std::string& line) const {
  std::string all = text();
  int n = 0;
  for (size_t at = all.find(line); at != std::string::npos; at = all.find(line, at + 1)) ++n;
  return n;
}

void set_sz(HKEY root, const std::string& key, const char* name, const std::string& value, REGSAM view, DWORD type) {
  HKEY handle;
  ASSERT_EQ(RegCreateKeyExW(root, wide(key).c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  std::wstring data = wide(value);
  RegSetValueExW(handle, name ? wide(name).c_str() : nullptr, 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
}

void set_dword(HKEY root, const std::string& key, const char* name, DWORD value, REGSAM view) {
  HKEY handle;
  ASSERT_EQ(RegCreateKeyExW(root, wide(key).c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(handle, wide(name).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
  RegCloseKey(handle);
}

void create_key(HKEY root, const std::string& key, REGSAM view) {
  HKEY handle;
  ASSERT_EQ(RegCreateKeyExW(root, wide(key).c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &handle, nullptr),
            ERROR_SUCCESS);
  RegCloseKey(handle);
}

bool key_exists(HKEY root, const std::string& key, REGSAM view) {
  HKEY handle;
  if (RegOpenKeyExW(root, wide(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

bool value_exists(HKEY root, const std::string& key, const char* name, REGSAM view) {
  HKEY handle;
  if (RegOpenKeyExW(root, wide(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  bool found = RegQueryValueExW(handle, name ? wide(name).c_str() : nullptr, nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
  RegCloseKey(handle);
  return found;
}

void delete_key(HKEY root, const std::string& key, REGSAM view) {
  HKEY handle;
  if (RegOpenKeyExW(root, wide(key).c_str(), 0, KEY_ALL_ACCESS | view, &handle) != ERROR_SUCCESS) return;
  RegDeleteTreeW(handle, nullptr);
  RegCloseKey(handle);
  RegDeleteKeyExW(root, wide(key).c_str(), view, 0);
}

}  // namespace test_support
