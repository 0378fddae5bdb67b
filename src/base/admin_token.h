// Whether an access token acts as an Administrator (Windows layer; plain declarations).
#pragma once

#include <cstddef>

// True when the token (null: the thread's effective token) is a member of the built-in
// Administrators group. A filtered UAC token is not: the group is deny-only there.
bool is_admin_token(void* token);
// is_admin_token of the current token.
bool is_process_elevated();

// The token's user as SID text ("S-1-5-21-..."); 0, or -1 with out emptied.
int token_user_sid(void* token, char* out, size_t size);
