// The person this run acts for: the session's interactive user, whose desktop its windows
// appear on and whose token the WebView2 runtime runs the browser with.
#pragma once

#include <cstddef>

// The SID text of the owner of the desktop shell of this process's own session (the token the
// de-elevated launch borrows); this process's own user when there is no shell or its token
// cannot be read. The choice is logged. 0, or -1 (out emptied) when neither can be read.
int interactive_user_sid(char* out, size_t size);
