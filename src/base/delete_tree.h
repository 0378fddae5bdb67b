// Removing a folder with everything in it, and single files, the way an elevated process
// must in folders other processes can write: each entry is opened without following a link,
// judged from that handle and deleted through it. A junction or symbolic link met on the way
// (or given as the folder), even one swapped in after its folder was listed, is removed as a
// link; its target is never entered.
#pragma once

#include <cstdint>

// Files that cannot be deleted (in use, read-only) stay, and so do their folders.
void delete_tree(const char* path);
// The same, but read-only files are made deletable first.
void delete_tree_force(const char* path);
// delete_tree_force, tried again a few times with short waits (a few seconds in all) while
// something is left: for a folder whose files another process is about to let go of. true when
// the folder is gone, false when something is still there.
bool delete_tree_force_patiently(const char* path);
// What is left of a folder (files still in use) is scheduled for deletion at the next
// restart, each file before its folder; links are not followed. Only for folders that no one
// without administrator rights can change: the removal at boot goes by names. Logs one line
// naming the folder as `what` ("Private working folder"): info when left to the restart, a
// warning when it could not be scheduled.
enum class restart_removal { nothing_left, scheduled, not_scheduled };
restart_removal delete_tree_at_restart(const char* path, const char* what);
// One file (a shortcut, a file of the install folder): a link under the name is removed
// itself; a folder is left alone. true when it was deleted, false when it stays.
bool delete_file_no_follow(const char* path);

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
