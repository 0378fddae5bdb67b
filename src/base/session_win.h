// The Windows session this process runs in: the desktop its windows appear on and whose
// signed-in person it acts for. Not the console session, which under Remote Desktop or fast
// user switching belongs to someone else.
#pragma once

#include <windows.h>

constexpr DWORD NO_SESSION = 0xFFFFFFFF;

// ProcessIdToSessionId of this process; NO_SESSION (last error set) when it fails.
DWORD own_session_id();
