// Folder removal on Wine's file system: nested trees, read-only files, files in use, and
// links that must not lead the walk out of the folder it cleans.
#include <windows.h>

#include <gtest/gtest.h>

#include "base/delete_tree.h"
#include "uninstall_support.h"

namespace {

using namespace uninstall_test;

void plant_tree(const std::string& root) {
  CreateDirectoryA(root.c_str(), nullptr);
  CreateDirectoryA((root + "\\a").c_str(), nullptr);
  CreateDirectoryA((root + "\\a\\b").c_str(), nullptr);
  CreateDirectoryA((root + "\\empty").c_str(), nullptr);
  write_file(root + "\\top.txt");
  write_file(root + "\\a\\b\\deep.txt");
  write_file(root + "\\a\\b\\locked.dat");
  SetFileAttributesA((root + "\\a\\b\\locked.dat").c_str(), FILE_ATTRIBUTE_READONLY);
}

TEST(UninstallDeleteTree, ReadOnlyFilesStayUnlessForced) {
  scratch_dir dir("uninstall-delete-tree");
  std::string root = dir.sub("tree");
  plant_tree(root);

  delete_tree(root.c_str());
  EXPECT_FALSE(exists(root + "\\top.txt"));
  EXPECT_FALSE(exists(root + "\\a\\b\\deep.txt"));
  EXPECT_FALSE(exists(root + "\\empty"));
  EXPECT_TRUE(exists(root + "\\a\\b\\locked.dat")) << "read-only file deleted without force";
  EXPECT_TRUE(exists(root + "\\a\\b")) << "its folders stay with it";

  delete_tree_force(root.c_str());
  EXPECT_FALSE(exists(root));
}

TEST(UninstallDeleteTree, FileInUseKeepsItsFolderOnly) {
  scratch_dir dir("uninstall-delete-tree-busy");
  std::string root = dir.sub("tree");
  plant_tree(root);
  HANDLE held = CreateFileA((root + "\\a\\b\\deep.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  delete_tree_force(root.c_str());
  EXPECT_TRUE(exists(root + "\\a\\b\\deep.txt"));
  EXPECT_FALSE(exists(root + "\\a\\b\\locked.dat"));
  EXPECT_FALSE(exists(root + "\\top.txt"));
  CloseHandle(held);
  delete_tree(root.c_str());
  EXPECT_FALSE(exists(root));
}

// A folder link inside the tree (here a Unix symbolic link, which Wine reports as a
// folder with FILE_ATTRIBUTE_REPARSE_POINT) is not walked: the folder it points to keeps
// every file. Wine then resolves the link when asked to remove it and refuses because the
// target is not empty, so the link itself stays here; Windows removes the link.
TEST(UninstallDeleteTree, LinkedFolderIsNeverEntered) {
  scratch_dir dir("uninstall-delete-tree-link");
  std::string outside = dir.sub("user-data");
  CreateDirectoryA(outside.c_str(), nullptr);
  write_file(outside + "\\precious.txt");
  std::string root = dir.sub("tree");
  plant_tree(root);
  ASSERT_TRUE(make_link(root + "\\a\\link", outside)) << "no reparse point to test with";
  ASSERT_TRUE(make_link(dir.sub("root-link"), outside));

  delete_tree_force(root.c_str());
  EXPECT_TRUE(exists(outside + "\\precious.txt")) << "the walk followed a link out of the tree";
  EXPECT_FALSE(exists(root + "\\a\\b"));
  EXPECT_FALSE(exists(root + "\\top.txt"));

  delete_tree_force(dir.sub("root-link").c_str());
  EXPECT_TRUE(exists(outside + "\\precious.txt")) << "a link given as the folder itself was walked";
}

TEST(UninstallDeleteTree, MissingOrFilePathsAreLeftAlone) {
  scratch_dir dir("uninstall-delete-tree-odd");
  std::string file = dir.sub("plain.txt");
  write_file(file);
  delete_tree(file.c_str());
  EXPECT_TRUE(exists(file)) << "a file is not a folder to clean";
  delete_tree(dir.sub("missing").c_str());
  delete_tree("");
  delete_tree(nullptr);
}

}  // namespace
