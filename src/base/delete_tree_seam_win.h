// Test seams of the folder walk (delete_tree.h).
#pragma once

// Called with the full path of each entry after its folder has been listed and before the
// entry is opened, the moment at which another process could swap it for a link. Null in the
// product; only the tests set it.
extern void (*delete_tree_after_listing)(const wchar_t* entry_path);

// The wait between the tries of delete_tree_force_patiently; sleeps in the product.
extern void (*delete_tree_retry_wait)(unsigned long ms);
