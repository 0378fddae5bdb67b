// STAND-IN until the tag block reader exists: the executable is treated as untagged.
#include "state/tag_block.h"

int tag_uninstall_first() { return -1; }
