// Test seam of the folder walk (delete_tree.h): called with the full path of each entry after
// its folder has been listed and before the entry is opened, the moment at which another
// process could swap it for a link. Null in the product; only the tests set it.
#pragma once

extern void (*delete_tree_after_listing)(const wchar_t* entry_path);
