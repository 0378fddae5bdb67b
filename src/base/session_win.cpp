#include "base/session_win.h"

DWORD own_session_id() {
  DWORD session = 0;
  return ProcessIdToSessionId(GetCurrentProcessId(), &session) ? session : NO_SESSION;
}
