// The private working folder under Wine: the descriptor its creation call gets, where it is
// made, that a taken name is never reused, and that it goes at the end of the run. Wine keeps
// neither the protection nor the Administrators entry of a folder's descriptor and enforces
// no DACL on files, so what is proved here is the descriptor the program passes; reading it
// back from the folder and its enforcement are Windows' part.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/private_folder_seam_win.h"
#include "base/private_folder_win.h"
#include "win_support.h"
#include "scoped_seam.h"

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

// Created and opened in one call: a folder already under the name (planted, or renamed in
// before the creation) is refused, and the folder made cannot be renamed away while held so
// that another could be renamed in after it.
TEST(PrivateFolder, AFolderRenamedIntoPlaceIsNeverTakenForOurs) {
  scratch_dir dir("corvane-private-taken");
  std::string planted = dir.sub("Corvane-planted");
  CreateDirectoryW(wide(dir.sub("elsewhere")).c_str(), nullptr);
  write_file(dir.sub("elsewhere") + "\\package.msi", "planted");
  ASSERT_TRUE(MoveFileW(wide(dir.sub("elsewhere")).c_str(), wide(planted).c_str()));
  HANDLE held = INVALID_HANDLE_VALUE;
  EXPECT_EQ(private_folder_create_held(wide(planted).c_str(), &held), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  EXPECT_EQ(held, INVALID_HANDLE_VALUE);
  EXPECT_EQ(read_file(planted + "\\package.msi"), "planted");

  std::string ours = dir.sub("Corvane-new");
  ASSERT_EQ(private_folder_create_held(wide(ours).c_str(), &held), static_cast<DWORD>(ERROR_SUCCESS));
  EXPECT_TRUE(exists(ours));
  EXPECT_FALSE(MoveFileW(wide(ours).c_str(), wide(dir.sub("moved")).c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CloseHandle(held);
  EXPECT_EQ(private_folder_create(wide(ours).c_str()), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
}

UINT WINAPI no_windows_folder(wchar_t* buffer, UINT size) {
  return static_cast<UINT>(swprintf(buffer, size, L"C:\\corvane-no-such-windows-folder"));
}

// The folders named like a private folder in folder (with its trailing backslash).
std::vector<std::string> corvane_folders_in(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found;
  HANDLE find = FindFirstFileA((folder + "Corvane-*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) names.push_back(found.cFileName);
  while (FindNextFileA(find, &found));
  FindClose(find);
  return names;
}

// Every Wine process is elevated: with neither system temp folder usable, the run has no
// private folder rather than one in the user's temp folder, and says why.
TEST(PrivateFolder, AnElevatedRunNeverFallsBackToTheUsersTemp) {
  char user_temp[MAX_PATH + 1];
  ASSERT_GT(GetTempPathA(sizeof user_temp, user_temp), 0u);
  auto before = corvane_folders_in(user_temp);
  captured_log log;
  private_folder_remove();
  char folder[MAX_PATH] = "unset";
  int result = 0;
  {
    test_support::scoped_seam<UINT(WINAPI*)(wchar_t*, UINT)> no_windows(private_folder_windows_directory,
                                                                        no_windows_folder);
    result = private_folder(folder, sizeof folder);
  }
  EXPECT_EQ(result, -1);
  EXPECT_STREQ(folder, "");
  EXPECT_EQ(corvane_folders_in(user_temp), before);
  EXPECT_TRUE(log.has("an elevated run never works in the user's temp folder")) << log.text();
  ASSERT_EQ(private_folder(folder, sizeof folder), 0);  // the system's folders back: a folder again
  private_folder_remove();
}

}  // namespace
