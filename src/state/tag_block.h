// The tag block the download server stamps into the signed executable.
#pragma once

// The own executable's "uninstall_first" preference: 1, 0, or -1 when there is none.
int tag_uninstall_first();
