// Folder removal on Wine's file system: nested trees, read-only files, files in use, and
// links that must not lead the walk out of the folder it cleans; waiting for a holder to let
// go, and what it still holds left to the next restart.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/delete_tree.h"
#include "base/delete_tree_seam_win.h"
#include "uninstall_support.h"
#include "scoped_seam.h"

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

// The tree with a link at a\link to a folder outside it that holds a precious file.
bool plant_tree_with_link(const scratch_dir& dir, std::string* outside, std::string* root) {
  *outside = dir.sub("user-data");
  CreateDirectoryA(outside->c_str(), nullptr);
  write_file(*outside + "\\precious.txt");
  *root = dir.sub("tree");
  plant_tree(*root);
  return make_link(*root + "\\a\\link", *outside);
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

// A folder link inside the tree (here a Unix symbolic link, which Wine lists as a folder
// with FILE_ATTRIBUTE_REPARSE_POINT) is not walked: the folder it points to keeps every
// file. Wine opens the link's target even when asked for the link, so the walk finds the
// handle leading out of the tree and leaves the link; Windows removes the link itself.
TEST(UninstallDeleteTree, LinkedFolderIsNeverEntered) {
  scratch_dir dir("uninstall-delete-tree-link");
  std::string outside, root;
  ASSERT_TRUE(plant_tree_with_link(dir, &outside, &root)) << "no reparse point to test with";
  ASSERT_TRUE(make_link(dir.sub("root-link"), outside));

  delete_tree_force(root.c_str());
  EXPECT_TRUE(exists(outside + "\\precious.txt")) << "the walk followed a link out of the tree";
  EXPECT_FALSE(exists(root + "\\a\\b"));
  EXPECT_FALSE(exists(root + "\\top.txt"));

  delete_tree_force(dir.sub("root-link").c_str());
  EXPECT_TRUE(exists(outside + "\\precious.txt")) << "a link given as the folder itself was walked";
}

// Another process swaps a subfolder for a link to a folder outside the tree in the moment
// between the listing of its parent and the descent into it: the walk must decide from what
// it opens, not from what it listed, and remove the link (or, where Wine follows it, leave it)
// without touching the folder outside.
struct swap_seam {
  static std::string subfolder, moved_to, outside;
  static bool swapped;
  static void swap(const wchar_t* entry) {
    if (swapped || wide(subfolder) != entry) return;
    swapped = MoveFileW(entry, wide(moved_to).c_str()) && make_link(subfolder, outside);
  }
};
std::string swap_seam::subfolder, swap_seam::moved_to, swap_seam::outside;
bool swap_seam::swapped = false;

TEST(UninstallDeleteTree, SubfolderSwappedForALinkAfterListingLeavesItsTargetAlone) {
  scratch_dir dir("uninstall-delete-tree-swap");
  swap_seam::outside = dir.sub("user-data");
  CreateDirectoryA(swap_seam::outside.c_str(), nullptr);
  CreateDirectoryA((swap_seam::outside + "\\nested").c_str(), nullptr);
  write_file(swap_seam::outside + "\\precious.txt");
  write_file(swap_seam::outside + "\\nested\\precious.txt");
  std::string root = dir.sub("tree");
  plant_tree(root);
  swap_seam::subfolder = root + "\\a";
  swap_seam::moved_to = dir.sub("a-moved");
  swap_seam::swapped = false;

  {
    test_support::scoped_seam<void (*)(const wchar_t*)> swapping(delete_tree_after_listing, swap_seam::swap);
    delete_tree_force(root.c_str());
  }
  // Windows removes the junction itself; Wine opens a link's target even when asked not to,
  // so there the link is found to lead elsewhere and left. Removed here, before a failed
  // check can end the test: wipe() cannot see a link whose target is gone.
  remove_link(swap_seam::subfolder);

  ASSERT_TRUE(swap_seam::swapped) << "the seam did not swap the subfolder";
  EXPECT_TRUE(exists(swap_seam::outside + "\\precious.txt")) << "the walk followed the swapped-in link";
  EXPECT_TRUE(exists(swap_seam::outside + "\\nested\\precious.txt"));
  EXPECT_FALSE(exists(root + "\\top.txt")) << "the rest of the tree is still removed";
}

// A single file in a folder the user fills (a desktop shortcut) named by a link to a file
// elsewhere: the file elsewhere stays.
TEST(UninstallDeleteTree, SingleFileGoesButALinkUnderItsNameIsNotFollowed) {
  scratch_dir dir("uninstall-delete-file");
  std::string plain = dir.sub("Corvane.lnk"), victim = dir.sub("victim.txt"), link = dir.sub("linked.lnk");
  write_file(plain);
  write_file(victim, "precious");
  make_link(link, victim);
  ASSERT_TRUE(exists(link));

  EXPECT_EQ(delete_file_no_follow(plain.c_str()), 1);
  EXPECT_FALSE(exists(plain));
  delete_file_no_follow(link.c_str());  // Windows removes the link itself; Wine leaves it
  EXPECT_EQ(read_file(victim), "precious");
  remove_link(link);
  EXPECT_EQ(delete_file_no_follow(dir.path().c_str()), 0) << "a folder is not a file";
  EXPECT_TRUE(exists(dir.path()));
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

// Another process that holds a file without delete sharing and lets go of it a moment later,
// from a thread of its own; the removal's first wait is that moment.
struct late_holder {
  static HANDLE file, release, thread;
  static int waits;
  static void hold(const std::string& path) {
    file = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    release = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread = CreateThread(nullptr, 0, [](void*) -> DWORD {
      WaitForSingleObject(release, INFINITE);
      CloseHandle(file);
      return 0;
    }, nullptr, 0, nullptr);
    waits = 0;
  }
  static void lets_go_on_first_wait(unsigned long) {
    if (++waits == 1) {
      SetEvent(release);
      WaitForSingleObject(thread, INFINITE);
    }
  }
  static void never_lets_go(unsigned long) { ++waits; }
  static void end() {
    SetEvent(release);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(release);
  }
};
HANDLE late_holder::file, late_holder::release, late_holder::thread;
int late_holder::waits;

TEST(UninstallDeleteTree, HolderThatLetsGoWithinTheBoundLeavesNothing) {
  scratch_dir dir("uninstall-delete-tree-patient");
  std::string root = dir.sub("tree");
  plant_tree(root);
  late_holder::hold(root + "\\a\\b\\deep.txt");
  ASSERT_NE(late_holder::file, INVALID_HANDLE_VALUE);
  int gone = 0;
  {
    test_support::scoped_seam<void (*)(unsigned long)> wait(delete_tree_retry_wait, late_holder::lets_go_on_first_wait);
    gone = delete_tree_force_patiently(root.c_str());
  }
  late_holder::end();
  EXPECT_EQ(late_holder::waits, 1) << "the first try should have found the file held";
  EXPECT_EQ(gone, 1);
  EXPECT_FALSE(exists(root));
}

// The restart's list of removals as the registry holds it: names separated by '\0'.
const wchar_t* const SESSION_MANAGER = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
std::wstring pending_removals() {
  DWORD size = 0;
  RegGetValueW(HKEY_LOCAL_MACHINE, SESSION_MANAGER, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
               nullptr, &size);
  std::wstring text(size / sizeof(wchar_t) + 1, L'\0');
  size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  if (RegGetValueW(HKEY_LOCAL_MACHINE, SESSION_MANAGER, L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr,
                   text.data(), &size) != ERROR_SUCCESS)
    size = 0;
  text.resize(size / sizeof(wchar_t));
  return text;
}

void restore_pending_removals(const std::wstring& text) {
  if (text.empty())
    RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, SESSION_MANAGER, L"PendingFileRenameOperations");
  else
    RegSetKeyValueW(HKEY_LOCAL_MACHINE, SESSION_MANAGER, L"PendingFileRenameOperations", REG_MULTI_SZ, text.data(),
                    static_cast<DWORD>(text.size() * sizeof(wchar_t)));
}

// Where the list names exactly this path; npos when it does not.
size_t position(const std::wstring& pending, const std::string& path) {
  return (L'\0' + pending).find(L'\0' + (L"\\??\\" + wide(path)) + L'\0');
}

// Still held when the bound is over: the file and each folder above it are left to the
// restart, the file first; the folder a link inside leads to is neither entered nor listed.
TEST(UninstallDeleteTree, HeldPastTheBoundIsLeftToTheRestartFileFirst) {
  scratch_dir dir("uninstall-delete-tree-restart");
  std::string outside, root;
  ASSERT_TRUE(plant_tree_with_link(dir, &outside, &root));
  std::wstring before = pending_removals();
  late_holder::hold(root + "\\a\\b\\deep.txt");
  ASSERT_NE(late_holder::file, INVALID_HANDLE_VALUE);
  captured_log log;

  bool gone = false;
  {
    test_support::scoped_seam<void (*)(unsigned long)> wait(delete_tree_retry_wait, late_holder::never_lets_go);
    gone = delete_tree_force_patiently(root.c_str());
  }
  restart_removal scheduled = delete_tree_at_restart(root.c_str(), "Test folder");
  std::wstring pending = pending_removals();
  restore_pending_removals(before);
  late_holder::end();
  remove_link(root + "\\a\\link");

  EXPECT_FALSE(gone);
  EXPECT_GT(late_holder::waits, 0);
  EXPECT_FALSE(exists(root + "\\top.txt")) << "what was free went at once";
  EXPECT_EQ(scheduled, restart_removal::scheduled);
  size_t file = position(pending, root + "\\a\\b\\deep.txt"), folder = position(pending, root + "\\a\\b"),
         top = position(pending, root);
  EXPECT_NE(file, std::wstring::npos);
  EXPECT_LT(file, folder) << "a folder before its file cannot be removed at the restart";
  EXPECT_LT(folder, top);
  EXPECT_NE(top, std::wstring::npos);
  EXPECT_EQ(pending.find(wide(outside)), std::wstring::npos) << "scheduled through the link";
  EXPECT_EQ(pending.find(L"\\link"), std::wstring::npos) << "a link is not left to the restart";
  EXPECT_TRUE(exists(outside + "\\precious.txt"));
  EXPECT_TRUE(log.has("Test folder still in use, to be removed at the next restart: " + root))
      << log.text();
}

}  // namespace
