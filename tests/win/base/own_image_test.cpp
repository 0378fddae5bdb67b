// The program's own image held from the start: Wine enforces sharing modes, so while the
// test executable holds itself, moving it, deleting it and a writer are refused for real.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/own_image_win.h"
#include "win_support.h"

namespace {

using namespace test_support;

TEST(OwnImage, HeldImageCannotBeRenamedDeletedOrRewritten) {
  ASSERT_NE(own_image_hold(), INVALID_HANDLE_VALUE);
  std::string self = self_path();
  scratch_dir dir("corvane-own-image");
  std::string backup = dir.sub("backup.exe");
  ASSERT_TRUE(CopyFileW(wide(self).c_str(), wide(backup).c_str(), FALSE));

  BOOL moved = MoveFileW(wide(self).c_str(), wide(self + ".moved").c_str());
  DWORD move_error = GetLastError();
  if (moved) MoveFileW(wide(self + ".moved").c_str(), wide(self).c_str());
  EXPECT_FALSE(moved) << "another file could now be put under the program's name";
  EXPECT_EQ(move_error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));

  BOOL deleted = DeleteFileW(wide(self).c_str());
  DWORD delete_error = GetLastError();
  if (deleted) CopyFileW(wide(backup).c_str(), wide(self).c_str(), FALSE);
  EXPECT_FALSE(deleted);
  EXPECT_EQ(delete_error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));

  HANDLE writer = CreateFileW(wide(self).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
  DWORD write_error = GetLastError();
  if (writer != INVALID_HANDLE_VALUE) CloseHandle(writer);
  EXPECT_EQ(writer, INVALID_HANDLE_VALUE);
  EXPECT_EQ(write_error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
}

TEST(OwnImage, CopiesAreNewFilesUnlessReplacingIsAsked) {
  scratch_dir dir("corvane-own-image-copy");
  std::string copy = dir.sub("copy.exe"), planted = dir.sub("planted.exe");
  EXPECT_EQ(own_image_copy(copy.c_str(), CREATE_NEW), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(read_file(copy), read_file(self_path()));

  write_file(planted, "planted");
  EXPECT_EQ(own_image_copy(planted.c_str(), CREATE_NEW), static_cast<DWORD>(ERROR_FILE_EXISTS));
  EXPECT_EQ(read_file(planted), "planted") << "a staged copy went over an existing name";
  EXPECT_EQ(own_image_copy(planted.c_str(), CREATE_ALWAYS), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_EQ(read_file(planted), read_file(self_path()));
}

TEST(OwnImage, OnlyTheMappedImageCountsAsTheImage) {
  char image[1024], held[1024];
  EXPECT_EQ(own_image_names_mapped_image(own_image_hold(), image, held, sizeof image),
            static_cast<DWORD>(ERROR_SUCCESS));

  // The same bytes under another name, as a file swapped in before the entry opened it.
  scratch_dir dir("corvane-own-image-swapped");
  std::string copy = dir.sub("swapped.exe");
  ASSERT_TRUE(CopyFileW(wide(self_path()).c_str(), wide(copy).c_str(), FALSE));
  HANDLE other = CreateFileW(wide(copy).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(other, INVALID_HANDLE_VALUE);
  EXPECT_EQ(own_image_names_mapped_image(other, image, held, sizeof image), static_cast<DWORD>(ERROR_FILE_INVALID));
  CloseHandle(other);
  EXPECT_NE(std::string(held).find("swapped.exe"), std::string::npos) << held;
  EXPECT_NE(std::string(image).find(".exe"), std::string::npos) << image;
}

}  // namespace
