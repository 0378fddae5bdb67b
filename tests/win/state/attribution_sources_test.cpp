// The tag block and Mark of the Web readers over real files under Wine: the mapping layer,
// the stream beside the executable, and the logged outcome.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "base/folders_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "state/motw.h"
#include "state/tag_block.h"

namespace {

std::wstring temp_file(const wchar_t* name) {
  wchar_t folder[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, folder);
  return std::wstring(folder) + name;
}

void write_bytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(file, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  ASSERT_EQ(written, bytes.size());
}

// A minimal PE32 image with a one-entry certificate table and a tag right after the blob.
std::string tagged_image(const std::string& tag_text) {
  std::string f(0x200, '\0');
  f[0] = 'M';
  f[1] = 'Z';
  f[0x3C] = static_cast<char>(0x80);
  memcpy(&f[0x80], "PE\0\0", 4);
  f[0x98] = 0x0B;
  f[0x99] = 0x01;
  f[0x98 + 92] = 16;
  std::string der("\x30\x82\x00\x04" "abcd", 8);  // the entry's blob ends at 16, already aligned
  std::string entry = std::string(8, '\0') + der + "<##TAGDATA##>" + tag_text + "</##TAGDATA##>";
  entry.resize((entry.size() + 7) & ~size_t{7}, '\0');
  uint32_t table = static_cast<uint32_t>(f.size()), size = static_cast<uint32_t>(entry.size());
  memcpy(&f[0x98 + 96 + 32], &table, 4);
  memcpy(&f[0x98 + 96 + 36], &size, 4);
  memcpy(&entry[0], &size, 4);
  return f + entry;
}

std::string read_log(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(TagBlockFile, MappedFileGivesItsTag) {
  std::wstring path = temp_file(L"tag-block-test.exe");
  write_bytes(path, tagged_image("eyJ1dG1fc291cmNlIjoieCJ9"));
  char out[TAG_BUFFER];
  EXPECT_EQ(read_tag_block_file(path.c_str(), out, sizeof out), 24);
  EXPECT_STREQ(out, "eyJ1dG1fc291cmNlIjoieCJ9");
  write_bytes(path, "");
  EXPECT_EQ(read_tag_block_file(path.c_str(), out, sizeof out), -1);  // an empty file cannot be mapped
  DeleteFileW(path.c_str());
  EXPECT_EQ(read_tag_block_file(path.c_str(), out, sizeof out), -1);
  EXPECT_STREQ(out, "");
}

TEST(TagBlockFile, UnsignedTestExecutableHasNoTag) {
  char out[TAG_BUFFER];
  EXPECT_EQ(read_tag_block(out), -1);
  EXPECT_EQ(read_decoded_tag(out), -1);
  EXPECT_EQ(tag_uninstall_first(), -1);
}

class MarkOfTheWeb : public ::testing::Test {
 protected:
  void SetUp() override {
    exe_ = temp_file(L"motw-test.exe");
    write_bytes(exe_, "MZ");
    stream_ = exe_ + L":Zone.Identifier";
    char temp[MAX_PATH];
    temp_folder(temp, sizeof temp);
    log_path_ = std::string(temp) + "motw-test.log";
    DeleteFileA(log_path_.c_str());
    log_open(LOG_MAIN, log_path_.c_str(), "Installer");
    log_set_min_level(LOG_LEVEL_DEBUG);
  }
  void TearDown() override {
    log_close(LOG_MAIN);
    DeleteFileW(stream_.c_str());
    DeleteFileW(exe_.c_str());
    DeleteFileA(log_path_.c_str());
  }
  void read(std::string* prefix, std::string* sid, std::string* domain) {
    char p[64] = "x", s[33] = "x", d[32] = "x";
    motw_read_for(exe_.c_str(), p, s, d);
    *prefix = p;
    *sid = s;
    *domain = d;
  }
  std::wstring exe_, stream_;
  std::string log_path_;
};

TEST_F(MarkOfTheWeb, Utf16StreamWithMarkReadLikeAnsi) {
  std::u16string text = u"[ZoneTransfer]\r\nZoneId=3\r\nHostUrl=https://dev-download.corvane.net/CorvaneSetup.exe"
                        u"?s=Session12345\r\n";
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) bytes += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  write_bytes(stream_, bytes);
  std::string prefix, sid, domain;
  read(&prefix, &sid, &domain);
  EXPECT_EQ(prefix, "dev-");
  EXPECT_EQ(sid, "Session12345");
  EXPECT_EQ(domain, "corvane.net");
  EXPECT_NE(read_log(log_path_).find("motw_read: ads=" + std::to_string(bytes.size()) +
                                     " bytes, host_prefix=\"dev-\", host_domain=\"corvane.net\", sid=\"Session12345\""),
            std::string::npos);
}

TEST_F(MarkOfTheWeb, MissingOrUselessStreamsLeaveOutputsEmpty) {
  std::string prefix, sid, domain;
  read(&prefix, &sid, &domain);
  EXPECT_EQ(prefix + sid + domain, "");
  EXPECT_NE(read_log(log_path_).find("motw_read: no :Zone.Identifier ADS (last_error=2)"), std::string::npos);
  write_bytes(stream_, std::string("\xFF\xFE\x00\x20\x01\x30", 6));  // only code units above 0xFF
  read(&prefix, &sid, &domain);
  EXPECT_EQ(prefix + sid + domain, "");
  EXPECT_NE(read_log(log_path_).find("motw_read: ADS read but decoded to empty (raw=6)"), std::string::npos);
}

TEST(MarkOfTheWebOwnExecutable, ReadsTheStreamBesideTheRunningProgram) {
  wchar_t own[MAX_PATH];
  ASSERT_GT(GetModuleFileNameW(nullptr, own, MAX_PATH), 0u);
  std::wstring stream = std::wstring(own) + L":Zone.Identifier";
  write_bytes(stream, "[ZoneTransfer]\nZoneId=3\nReferrerUrl=https://www.corvane.org/?s=abcdefgh\n");
  char prefix[64], sid[33], domain[32];
  motw_read(prefix, sid, domain);
  DeleteFileW(stream.c_str());
  EXPECT_STREQ(prefix, "");
  EXPECT_STREQ(sid, "abcdefgh");
  EXPECT_STREQ(domain, "corvane.org");
}
