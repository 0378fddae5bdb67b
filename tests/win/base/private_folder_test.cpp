// The private working folder under Wine: the descriptor its creation call gets, where it is
// made, that a taken name is never reused, and that it goes at the end of the run. Wine keeps
// neither the protection nor the Administrators entry of a folder's descriptor and enforces
// no DACL on files, so what is proved here is the descriptor the program passes; reading it
// back from the folder and its enforcement are Windows' part.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/private_folder_win.h"
#include "win_support.h"

namespace {

using namespace test_support;

bool is_well_known(PSID sid, WELL_KNOWN_SID_TYPE type) {
  BYTE expected[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof expected;
  return CreateWellKnownSid(type, nullptr, expected, &size) && EqualSid(sid, expected);
}

TEST(PrivateFolder, DescriptorIsSystemAndAdministratorsOnlyInheritedAndProtected) {
  PSECURITY_DESCRIPTOR descriptor = private_folder_descriptor();
  ASSERT_NE(descriptor, nullptr);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  ASSERT_TRUE(GetSecurityDescriptorControl(descriptor, &control, &revision));
  EXPECT_TRUE(control & SE_DACL_PROTECTED) << "the parent folder's entries would apply";
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(descriptor, &present, &dacl, &defaulted));
  ASSERT_TRUE(present && dacl) << "no DACL is full access for everyone";
  // Every Wine process is an elevated Administrator, so its user gets no entry of its own.
  ASSERT_EQ(dacl->AceCount, 2u);
  const WELL_KNOWN_SID_TYPE trustees[] = {WinLocalSystemSid, WinBuiltinAdministratorsSid};
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    ASSERT_TRUE(GetAce(dacl, i, reinterpret_cast<void**>(&ace)));
    EXPECT_EQ(ace->Header.AceType, ACCESS_ALLOWED_ACE_TYPE);
    EXPECT_EQ(ace->Header.AceFlags, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE) << "files and folders below inherit it";
    EXPECT_EQ(ace->Mask, static_cast<ACCESS_MASK>(FILE_ALL_ACCESS));
    EXPECT_TRUE(is_well_known(&ace->SidStart, trustees[i])) << "entry " << i;
  }
  LocalFree(descriptor);
}

TEST(PrivateFolder, FreshRandomFolderUnderTheWindowsTempFolderGoneAtTheEnd) {
  char folder[MAX_PATH];
  ASSERT_EQ(private_folder(folder, sizeof folder), 0);
  std::string path = folder;
  // Wine has no SystemTemp, so the Windows temp folder is the place, never the user's.
  EXPECT_EQ(path.rfind("C:\\windows\\Temp\\Corvane-", 0), 0u) << path;
  EXPECT_EQ(path.size(), std::string("C:\\windows\\Temp\\Corvane-").size() + 32 + 1) << path;
  EXPECT_EQ(path.back(), '\\');
  EXPECT_TRUE(exists(path));
  char again[MAX_PATH], file[MAX_PATH];
  ASSERT_EQ(private_folder(again, sizeof again), 0);
  EXPECT_EQ(path, again) << "one folder per run";
  ASSERT_EQ(private_file_path("package.msi", file, sizeof file), 0);
  EXPECT_EQ(path + "package.msi", file);
  write_file(file);
  // Held without delete sharing: it cannot be renamed away and replaced while in use.
  EXPECT_FALSE(MoveFileW(wide(path.substr(0, path.size() - 1)).c_str(), wide(path + "-moved").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));

  private_folder_remove();
  EXPECT_FALSE(exists(path)) << "the folder outlived the run";
  ASSERT_EQ(private_folder(again, sizeof again), 0);
  EXPECT_NE(path, again) << "a new run gets a new name";
  private_folder_remove();
}

// A screen's run ends with the WebView2 loader still loaded from the folder: it is left to the
// restart, and that normal end is no warning; whatever is not in use goes at once.
TEST(PrivateFolder, WhatIsStillInUseLeavesTheFolderToTheRestart) {
  captured_log log;
  char folder[MAX_PATH], held[MAX_PATH], loose[MAX_PATH];
  ASSERT_EQ(private_folder(folder, sizeof folder), 0);
  ASSERT_EQ(private_file_path("WebView2Loader.dll", held, sizeof held), 0);
  ASSERT_EQ(private_file_path("package.msi", loose, sizeof loose), 0);
  write_file(held);
  write_file(loose);
  HANDLE in_use = CreateFileW(wide(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(in_use, INVALID_HANDLE_VALUE);

  private_folder_remove();
  CloseHandle(in_use);
  EXPECT_FALSE(exists(loose));
  EXPECT_TRUE(exists(held));
  std::string path = folder;
  EXPECT_TRUE(log.has("Private working folder still in use, to be removed at the next restart: " +
                      path.substr(0, path.size() - 1)))
      << log.text();
  EXPECT_FALSE(log.has("[WARN]")) << log.text();
  DeleteFileW(wide(held).c_str());
  RemoveDirectoryW(wide(path).c_str());
}

TEST(PrivateFolder, ATakenNameIsNeverReused) {
  scratch_dir dir("corvane-private-taken");
  std::string planted = dir.sub("Corvane-planted");
  CreateDirectoryW(wide(planted).c_str(), nullptr);
  write_file(planted + "\\package.msi", "planted");
  EXPECT_EQ(private_folder_create(wide(planted).c_str()), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(read_file(planted + "\\package.msi"), "planted");
  EXPECT_EQ(private_folder_create(wide(dir.sub("Corvane-new")).c_str()), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(exists(dir.sub("Corvane-new")));
}

}  // namespace
