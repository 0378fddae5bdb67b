// Removing a folder with everything in it. A junction or symbolic link met on the way
// (or given as the folder) is removed as a link; its target is never entered.
#pragma once

#include <cstdint>

// Files that cannot be deleted (in use, read-only) stay, and so do their folders.
void delete_tree(const char* path);
// The same, but read-only files are made deletable first.
void delete_tree_force(const char* path);

// What a folder walk does with one entry, from its attribute bits. Links (junctions and
// symbolic links) are removed as links and never entered: a tree cleaned with
// administrator rights must not reach through a link into a folder the user owns.
enum tree_entry_action {
  TREE_ENTER_FOLDER,
  TREE_DELETE_FILE,
  TREE_REMOVE_FOLDER_LINK,
  TREE_DELETE_FILE_LINK,
};
tree_entry_action classify_tree_entry(uint32_t attributes);
