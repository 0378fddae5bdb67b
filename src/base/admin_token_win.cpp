// Whether an access token acts as an Administrator.
#include "base/admin_token.h"

#include <windows.h>
#include <sddl.h>

#include <atomic>

#include "base/handle_win.h"
#include "base/wide_win.h"

namespace {

typedef BOOL(WINAPI* check_membership_fn)(HANDLE, PSID, PBOOL);

// Looked up once: systems without it fall back to walking the token's groups.
check_membership_fn check_membership() {
  static std::atomic<int> looked_up{0};
  static std::atomic<check_membership_fn> function{nullptr};
  if (!looked_up.load()) {
    HMODULE advapi = LoadLibraryW(L"advapi32.dll");
    if (advapi)
      function.store(reinterpret_cast<check_membership_fn>(
          reinterpret_cast<void*>(GetProcAddress(advapi, "CheckTokenMembership"))));
    looked_up.store(1);
  }
  return function.load();
}

int groups_contain(HANDLE token, PSID sid) {
  kernel_handle own;
  if (!token) {
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, own.receive())) return 0;
    token = own.get();
  }
  DWORD bytes = 0;
  GetTokenInformation(token, TokenGroups, nullptr, 0, &bytes);
  if (bytes == 0) return 0;
  heap_block<BYTE> block = heap_allocate<BYTE>(bytes);
  if (!block) return 0;
  auto* groups = reinterpret_cast<TOKEN_GROUPS*>(block.get());
  int member = 0;
  if (GetTokenInformation(token, TokenGroups, groups, bytes, &bytes))
    for (DWORD i = 0; i < groups->GroupCount && !member; ++i) member = EqualSid(groups->Groups[i].Sid, sid) ? 1 : 0;
  return member;
}

}  // namespace

bool is_admin_token(void* token) {
  BYTE sid[SECURITY_MAX_SID_SIZE];
  DWORD sid_size = sizeof sid;
  if (!CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sid_size)) return false;
  check_membership_fn check = check_membership();
  if (!check) return groups_contain(static_cast<HANDLE>(token), sid);
  BOOL member = FALSE;
  if (!check(static_cast<HANDLE>(token), sid, &member)) return false;
  return member ? 1 : 0;
}

bool is_process_elevated() { return is_admin_token(nullptr); }

int token_user_sid(void* token, char* out, size_t size) {
  if (size) out[0] = '\0';
  alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD bytes = 0;
  if (!GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &bytes)) return -1;
  local_block<wchar_t> text;
  if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, text.receive())) return -1;
  int result = wide_to_utf8(text.get(), out, size);
  if (result != 0 && size) out[0] = '\0';
  return result;
}
