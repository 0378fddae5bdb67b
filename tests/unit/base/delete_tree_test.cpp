#include <gtest/gtest.h>

#include "base/delete_tree.h"

TEST(DeleteTree, FolderWalkNeverEntersALink) {
  const uint32_t DIRECTORY = 0x10, REPARSE = 0x400, ARCHIVE = 0x20, READONLY = 0x1, HIDDEN = 0x2;
  EXPECT_EQ(classify_tree_entry(DIRECTORY), TREE_ENTER_FOLDER);
  EXPECT_EQ(classify_tree_entry(DIRECTORY | READONLY | HIDDEN), TREE_ENTER_FOLDER);
  EXPECT_EQ(classify_tree_entry(ARCHIVE), TREE_DELETE_FILE);
  EXPECT_EQ(classify_tree_entry(0), TREE_DELETE_FILE);
  // Junctions and folder symbolic links: removed as links, whatever else they carry.
  EXPECT_EQ(classify_tree_entry(DIRECTORY | REPARSE), TREE_REMOVE_FOLDER_LINK);
  EXPECT_EQ(classify_tree_entry(DIRECTORY | REPARSE | READONLY | HIDDEN), TREE_REMOVE_FOLDER_LINK);
  // A file symbolic link is deleted as a link; its attributes are not touched (they would
  // be the target's).
  EXPECT_EQ(classify_tree_entry(ARCHIVE | REPARSE), TREE_DELETE_FILE_LINK);
  EXPECT_EQ(classify_tree_entry(REPARSE | READONLY), TREE_DELETE_FILE_LINK);
}
