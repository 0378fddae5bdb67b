// Removing a folder with everything in it. A junction or symbolic link met on the way
// (or given as the folder) is removed as a link; its target is never entered.
#pragma once

// Files that cannot be deleted (in use, read-only) stay, and so do their folders.
void delete_tree(const char* path);
// The same, but read-only files are made deletable first.
void delete_tree_force(const char* path);
