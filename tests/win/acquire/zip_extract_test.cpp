// ZIP extraction under Wine with real archives: both entry methods, folders the archive
// only implies, the name rules (drive prefix, leading backslashes, nothing outside the
// destination), progress by uncompressed bytes, and each failure's message.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "acquire/zip_extract.h"
#include "base/folders_win.h"
#include "base/wide_win.h"
#include "win_support.h"
#include "zip_test_archive.h"

namespace {

using namespace test_support;

bool is_folder(const std::string& path) {
  DWORD attributes = GetFileAttributesW(wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The names in a folder (files and folders), sorted.
std::vector<std::string> files_in(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(wide(folder + "\\*").c_str(), &found);
  if (find == INVALID_HANDLE_VALUE) return names;
  do {
    std::wstring name = found.cFileName;
    if (name != L"." && name != L"..") names.emplace_back(name.begin(), name.end());
  } while (FindNextFileW(find, &found));
  FindClose(find);
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<int> progress_seen;
void record_progress(int32_t percent, void* context) {
  EXPECT_EQ(context, nullptr);
  progress_seen.push_back(percent);
}

// Each test gets <temp>\corvane-zip-<test>\ with the archive beside an "out" destination,
// so anything written next to the destination is visible as an escape.
class ZipExtract : public ::testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH + 1];
    ASSERT_EQ(temp_folder(temp, sizeof temp), 0);
    root_ = std::string(temp) + "corvane-zip-" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    wipe(root_);
    CreateDirectoryW(wide(root_).c_str(), nullptr);
    dest_ = root_ + "\\out";
    CreateDirectoryW(wide(dest_).c_str(), nullptr);
    progress_seen.clear();
  }
  void TearDown() override { wipe(root_); }

  int extract(const std::string& archive_bytes, bool with_progress = true) {
    std::string archive = root_ + "\\package.zip";
    write_file(archive, archive_bytes);
    return extract_zip(archive.c_str(), dest_.c_str(), with_progress ? record_progress : nullptr, message_,
                       sizeof message_);
  }
  int extract_package(const std::string& archive_bytes, const char* msi_name) {
    std::string archive = root_ + "\\package.zip";
    write_file(archive, archive_bytes);
    return extract_zip_package(archive.c_str(), msi_name, dest_.c_str(), nullptr, message_, sizeof message_);
  }
  std::string in_dest(const std::string& relative) const { return dest_ + "\\" + relative; }

  std::string root_, dest_;
  char message_[ZIP_MESSAGE_OUT] = "unset";
};

TEST_F(ZipExtract, StoredAndDeflatedEntriesWithImpliedAndExplicitFolders) {
  std::string big(100000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7919) % 251);
  ASSERT_EQ(extract(zip_build({{"index.html", "<html></html>", false},
                               {"assets/fonts/big.bin", big, true},
                               {"empty/", "", false},
                               {"assets\\style.css", "body{}", true}})),
            0);
  EXPECT_STREQ(message_, "success");
  EXPECT_EQ(read_file(in_dest("index.html")), "<html></html>");
  EXPECT_EQ(read_file(in_dest("assets\\fonts\\big.bin")), big);
  EXPECT_EQ(read_file(in_dest("assets\\style.css")), "body{}");
  EXPECT_TRUE(is_folder(in_dest("empty")));
}

TEST_F(ZipExtract, ProgressCountsUncompressedBytesAndOnlyReportsChanges) {
  std::string data(50000, 'x');  // deflates to almost nothing: progress must not follow packed bytes
  ASSERT_EQ(extract(zip_build({{"a.bin", data, true}, {"b.bin", data, false}})), 0);
  ASSERT_GE(progress_seen.size(), 3u);
  EXPECT_EQ(progress_seen.front(), 0);
  EXPECT_EQ(progress_seen.back(), 100);
  // 8192-byte pieces of 100000 bytes: a.bin's last piece (50000) ends at exactly 50 %.
  EXPECT_NE(std::find(progress_seen.begin(), progress_seen.end(), 50), progress_seen.end());
  for (size_t i = 2; i < progress_seen.size(); ++i) EXPECT_GT(progress_seen[i], progress_seen[i - 1]) << i;
}

TEST_F(ZipExtract, EmptyArchiveAndEmptyFilesReportOnlyTheInitialZero) {
  ASSERT_EQ(extract(zip_build({})), 0) << message_;
  EXPECT_STREQ(message_, "success");
  EXPECT_EQ(progress_seen, std::vector<int>{0});

  progress_seen.clear();
  ASSERT_EQ(extract(zip_build({{"a.txt", "", false}, {"sub/b.txt", "", true}})), 0);
  EXPECT_EQ(progress_seen, std::vector<int>{0});
  EXPECT_TRUE(exists(in_dest("a.txt")));
  EXPECT_EQ(read_file(in_dest("sub\\b.txt")), "");
}

TEST_F(ZipExtract, DrivePrefixAndLeadingSlashesLandInsideTheDestination) {
  ASSERT_EQ(extract(zip_build({{"C:\\drive.txt", "1", false},
                               {"C:/forward.txt", "2", false},
                               {"\\\\lead\\two.txt", "3", false},
                               {"/abs/unix.txt", "4", true}}),
                    false),
            0);
  EXPECT_EQ(read_file(in_dest("drive.txt")), "1");
  EXPECT_EQ(read_file(in_dest("forward.txt")), "2");
  EXPECT_EQ(read_file(in_dest("lead\\two.txt")), "3");
  EXPECT_EQ(read_file(in_dest("abs\\unix.txt")), "4");
}

TEST_F(ZipExtract, NamesLeadingOutsideAreRefusedBeforeAnythingIsWritten) {
  // One of each kind; the unit tests of the name rules cover the rest.
  const char* hostile[] = {"sub/../../evil.txt", "..\\evil/", "C:\\D:\\evil.txt", "sub/... /evil.txt"};
  for (const char* name : hostile) {
    SCOPED_TRACE(name);
    progress_seen.clear();
    EXPECT_EQ(extract(zip_build({{"first.txt", "fine", false}, {name, "owned", false}})), -1);
    EXPECT_STREQ(message_, "Error extracting from ZIP file");
    EXPECT_FALSE(exists(in_dest("first.txt"))) << "an entry before the hostile one was written";
    EXPECT_FALSE(exists(root_ + "\\evil.txt"));
    EXPECT_FALSE(exists(root_ + "\\evil"));
    EXPECT_TRUE(progress_seen.empty());
  }
}

// minizip hands back a name that fills its buffer unterminated; such a name is refused as a
// whole, not read past or cut (a cut name is another path).
TEST_F(ZipExtract, NameLongerThanAPathIsRefusedBeforeAnythingIsWritten) {
  captured_log log;
  std::string long_name = "deep/" + std::string(295, 'n');
  EXPECT_EQ(extract(zip_build({{"first.txt", "fine", false}, {long_name, "owned", false}})), -1);
  EXPECT_STREQ(message_, "Error extracting from ZIP file");
  EXPECT_FALSE(exists(in_dest("first.txt")));
  EXPECT_FALSE(exists(in_dest("deep")));
  EXPECT_TRUE(progress_seen.empty());
  EXPECT_TRUE(log.has("[ERROR] [Installer] ZIP entry name of 300 bytes is longer than a path — archive refused"))
      << log.text();
}

TEST_F(ZipExtract, DeviceNamesAreRefusedBeforeAnythingIsWritten) {
  for (const char* name : {"CON", "sub/nul.txt", "setup.msi."}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(extract(zip_build({{"first.txt", "fine", false}, {name, "owned", false}})), -1);
    EXPECT_STREQ(message_, "Error extracting from ZIP file");
    EXPECT_FALSE(exists(in_dest("first.txt")));
    EXPECT_FALSE(exists(in_dest("sub")));
  }
}

// A central directory that declares more entries than it holds is damage, not the end of the
// list: the archive fails before anything is written, instead of "succeeding" with a part.
TEST_F(ZipExtract, CentralDirectoryShorterThanDeclaredIsAReadError) {
  std::string archive = zip_build({{"a.txt", "one", false}, {"b.txt", "two", false}});
  size_t end_record = archive.size() - 22;
  for (size_t at : {end_record + 8, end_record + 10}) archive[at] = 3;  // entries on this disk, in total
  EXPECT_EQ(extract(archive), -1);
  EXPECT_STREQ(message_, "Error reading ZIP file");
  EXPECT_FALSE(exists(in_dest("a.txt")));
}

TEST_F(ZipExtract, MoreEntriesThanTheCapAreRefusedBeforeAnythingIsWritten) {
  captured_log log;
  std::vector<zip_test_entry> entries;
  for (int i = 0; i <= 4096; ++i) entries.push_back({"f" + std::to_string(i), "", false});
  EXPECT_EQ(extract(zip_build(entries)), -1);
  EXPECT_STREQ(message_, "Error extracting from ZIP file");
  EXPECT_FALSE(exists(in_dest("f0")));
  EXPECT_TRUE(progress_seen.empty());
  EXPECT_TRUE(log.has("[ERROR] [Installer] ZIP archive refused: more entries than 4096")) << log.text();
}

TEST_F(ZipExtract, ExistingFilesAreReplaced) {
  write_file(in_dest("config.json"), "old and longer than the new content");
  ASSERT_EQ(extract(zip_build({{"config.json", "new", true}})), 0);
  EXPECT_EQ(read_file(in_dest("config.json")), "new");
}

TEST_F(ZipExtract, DestinationUnderANonAsciiFolderName) {
  dest_ = root_ + "\\Zo\xC3\xAB \xE6\x97\xA5\xE6\x9C\xAC";
  ASSERT_EQ(extract(zip_build({{"pages/consent.html", "ok", true}})), 0) << message_;
  EXPECT_EQ(read_file(dest_ + "\\pages\\consent.html"), "ok");
}

TEST_F(ZipExtract, UnreadableArchivesFailWithTheirMessages) {
  char message[ZIP_MESSAGE_OUT];
  std::string missing = root_ + "\\missing.zip";
  EXPECT_EQ(extract_zip(missing.c_str(), dest_.c_str(), nullptr, message, sizeof message), -1);
  EXPECT_STREQ(message, "Error opening ZIP file");

  std::string whole = zip_build({{"a.txt", std::string(20000, 'a'), true}});
  EXPECT_EQ(extract(whole.substr(0, whole.size() / 2)), -1);  // no central directory left
  EXPECT_STREQ(message_, "Error opening ZIP file");
  EXPECT_EQ(extract("this is not a zip archive at all"), -1);
  EXPECT_STREQ(message_, "Error opening ZIP file");
}

TEST_F(ZipExtract, DamagedEntryDataFailsAsAReadError) {
  std::string data;
  for (int i = 0; i < 20000; ++i) data += static_cast<char>('a' + (i * 31) % 26);
  std::string archive = zip_build({{"a.txt", data, true}});
  // The deflate stream starts after the 30-byte local header and the name.
  for (size_t i = 30 + 5; i < 30 + 5 + 64; ++i) archive[i] = static_cast<char>(0xFF);
  EXPECT_EQ(extract(archive), -1);
  EXPECT_STREQ(message_, "Error reading from ZIP file");
}

// The bomb: a ZIP64 entry declaring 2^64-1 bytes (zeros that deflate a thousandfold) and a
// small entry after it, whose sizes summed in 64 bits wrap back to 1 byte.
std::string zip64_bomb(const std::string& bomb_name) {
  zip_test_entry bomb{bomb_name, std::string(3 << 20, '\0'), true, true, UINT64_MAX};
  return zip_build({bomb, {"after.txt", "ab", false}});
}

TEST_F(ZipExtract, Zip64SizeThatWouldWrapTheTotalIsRefusedBeforeAnythingIsWritten) {
  std::string archive = zip64_bomb("bomb.bin");
  ASSERT_LT(archive.size(), 64u * 1024);
  EXPECT_EQ(extract(archive), -1);
  EXPECT_STREQ(message_, "Error extracting from ZIP file");
  EXPECT_EQ(files_in(dest_), std::vector<std::string>{});
  EXPECT_EQ(extract_package(archive, "bomb.bin"), -1);
  EXPECT_STREQ(message_, "Error extracting from ZIP file");
  EXPECT_EQ(files_in(dest_), std::vector<std::string>{});
}

// An entry whose stream holds more than its headers declare: never written past the declared
// size, and refused (here the CRC of the whole stream betrays it); a wrong CRC alone is refused too.
TEST_F(ZipExtract, StreamPastItsDeclaredSizeIsCutAndRefused) {
  std::string data(100000, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 7919) % 251);
  EXPECT_EQ(extract(zip_build({{"long.bin", data, true, true, 1000}})), -1);
  EXPECT_STREQ(message_, "Error reading from ZIP file");
  EXPECT_LE(read_file(in_dest("long.bin")).size(), 1000u);
  EXPECT_EQ(extract(zip_build({{"a.txt", "content", false}}, 0xDEADBEEF)), -1);
  EXPECT_STREQ(message_, "Error reading from ZIP file");
}

// The product package: only its MSI, at the root, as a new file; the rest is left out and named.
TEST_F(ZipExtract, PackageWritesOnlyItsMsiAsANewFile) {
  std::string archive = zip_build({{"ui/", "", false},
                                   {"CorvaneInstaller-1234/ui/common.js", "alert(1)", false},
                                   {"Product.msi", "the package", true},
                                   {"Data1.cab", "cabinet", false},
                                   {"sub/Product.msi", "a deeper one", false}});
  ASSERT_EQ(extract_package(archive, "product.MSI"), 0);
  EXPECT_STREQ(message_, "success");
  EXPECT_EQ(files_in(dest_), std::vector<std::string>{"Product.msi"});
  EXPECT_EQ(read_file(in_dest("Product.msi")), "the package");
  // Over the name it finds, it writes nothing.
  EXPECT_EQ(extract_package(archive, "Product.msi"), -1);
  EXPECT_EQ(std::string(message_), "Error creating file: " + in_dest("Product.msi"));
  EXPECT_EQ(read_file(in_dest("Product.msi")), "the package");
  DeleteFileW(wide(in_dest("Product.msi")).c_str());
  for (const auto& wrong : {zip_build({{"Data1.cab", "cabinet", false}}),
                            zip_build({{"Product.msi", "one", false}, {"PRODUCT.msi", "two", false}})}) {
    EXPECT_EQ(extract_package(wrong, "Product.msi"), -1);
    EXPECT_STREQ(message_, "Error extracting from ZIP file");
    EXPECT_EQ(files_in(dest_), std::vector<std::string>{});
  }
}

TEST_F(ZipExtract, AFolderInTheWayOfAFileIsACreateError) {
  CreateDirectoryW(wide(in_dest("blocked.txt")).c_str(), nullptr);
  EXPECT_EQ(extract(zip_build({{"blocked.txt", "x", false}})), -1);
  EXPECT_EQ(std::string(message_), "Error creating file: " + in_dest("blocked.txt"));
}

TEST_F(ZipExtract, MakeDirectoriesCreatesEveryMissingLevel) {
  std::string deep = dest_ + "/a/b\\c/d";
  make_directories(deep.c_str());
  EXPECT_TRUE(is_folder(dest_ + "\\a\\b\\c\\d"));
  make_directories((dest_ + "\\a\\b\\e\\").c_str());  // partly existing, trailing separator
  EXPECT_TRUE(is_folder(dest_ + "\\a\\b\\e"));
}

}  // namespace
