// Where ZIP entries land: the drive-prefix and leading-backslash rules, folders, and every
// way a name could lead out of the destination; the folder root make_directories skips;
// the progress percent and the empty-archive check.
#include <gtest/gtest.h>

#include <string>

#include "acquire/zip_extract_rules.h"

namespace {

struct landing {
  int kind;
  std::string path;
};

landing land(const char* name, size_t size = 260) {
  char out[260] = "garbage";
  int kind = zip_entry_path(name, out, size);
  return {kind, out};
}

void expect_lands(const char* name, int kind, const char* path) {
  landing got = land(name);
  EXPECT_EQ(got.kind, kind) << name;
  EXPECT_EQ(got.path, path) << name;
}

TEST(ZipEntryPath, FilesAndFoldersKeepTheirPathWithBackslashes) {
  expect_lands("index.html", ZIP_ENTRY_FILE, "index.html");
  expect_lands("assets/fonts/a.woff2", ZIP_ENTRY_FILE, "assets\\fonts\\a.woff2");
  expect_lands("assets/", ZIP_ENTRY_FOLDER, "assets\\");
  expect_lands("assets\\img\\", ZIP_ENTRY_FOLDER, "assets\\img\\");
  expect_lands("", ZIP_ENTRY_FILE, "");  // becomes the destination itself, which cannot be created as a file
  expect_lands(nullptr, ZIP_ENTRY_FILE, "");
  // Dots inside names and a lone "." stay where they are.
  expect_lands("a..b/.hidden/./v1.2..txt", ZIP_ENTRY_FILE, "a..b\\.hidden\\.\\v1.2..txt");
}

TEST(ZipEntryPath, DrivePrefixAndLeadingBackslashesAreDropped) {
  expect_lands("C:\\setup.msi", ZIP_ENTRY_FILE, "setup.msi");
  expect_lands("z:/dir/setup.msi", ZIP_ENTRY_FILE, "dir\\setup.msi");
  expect_lands("\\setup.msi", ZIP_ENTRY_FILE, "setup.msi");
  expect_lands("\\\\\\setup.msi", ZIP_ENTRY_FILE, "setup.msi");
  expect_lands("C:\\\\\\x\\", ZIP_ENTRY_FOLDER, "x\\");
  expect_lands("/etc/passwd", ZIP_ENTRY_FILE, "etc\\passwd");
  expect_lands("\\\\server\\share\\f.txt", ZIP_ENTRY_FILE, "server\\share\\f.txt");
  // Only the first three characters form a drive prefix, whatever the letter.
  expect_lands("1:\\f.txt", ZIP_ENTRY_FILE, "f.txt");
}

TEST(ZipEntryPath, NamesLeavingTheDestinationAreRefused) {
  const char* refused[] = {
      "..",          "../x",          "..\\x",         "a/../../x",  "a\\..",     "C:\\..\\x",   "\\..\\x",
      "a/../b",      "...\\x",        ". .\\x",        "a/.. /x",    "a/ ../x",   "D:x",         "C:x",
      "C:\\D:\\x",   "f.txt:stream",  "f.txt::$DATA",  "\\\\?\\C:\\x", "../folder/",
  };
  for (const char* name : refused) {
    landing got = land(name);
    EXPECT_EQ(got.kind, ZIP_ENTRY_REFUSED) << name;
    EXPECT_EQ(got.path, "") << name;
  }
}

// Names Windows would read as a device or as another file: writing them would reach a device
// or a file the archive did not name.
TEST(ZipEntryPath, NamesWindowsWouldAliasAreRefused) {
  const char* refused[] = {
      "CON",        "con.txt",      "sub/Nul",       "PRN.msi",       "aux/x.txt",       "COM1",
      "com9.log",   "LPT1",         "a/lpt5/b.txt",  "COM0",          "LPT0.txt",        "CON .txt",
      "NUL.tar.gz", "conin$",       "CONOUT$.txt",   "COM\xC2\xB9",   "lpt\xC2\xB3.txt", "x/AUX",
      "setup.msi.", "setup.msi ",   "dir./x.txt",    "dir /x.txt",    "dir.../",         "a/b. /c",
  };
  for (const char* name : refused) {
    landing got = land(name);
    EXPECT_EQ(got.kind, ZIP_ENTRY_REFUSED) << name;
    EXPECT_EQ(got.path, "") << name;
  }
  // Near misses stay ordinary names.
  expect_lands("console.txt", ZIP_ENTRY_FILE, "console.txt");
  expect_lands("nullable.js", ZIP_ENTRY_FILE, "nullable.js");
  expect_lands("COM10", ZIP_ENTRY_FILE, "COM10");
  expect_lands("LPT", ZIP_ENTRY_FILE, "LPT");
  expect_lands("auxiliary/x.txt", ZIP_ENTRY_FILE, "auxiliary\\x.txt");
  expect_lands("my con/x.txt", ZIP_ENTRY_FILE, "my con\\x.txt");
}

TEST(ZipArchiveLimits, EntryCountTotalSizeAndFreeSpace) {
  EXPECT_EQ(zip_archive_refusal(42, 200000, 1, 1ull << 40), nullptr);
  EXPECT_EQ(zip_archive_refusal(ZIP_MAX_ENTRIES, ZIP_MAX_TOTAL_BYTES, 0, 0), nullptr);  // free space unknown
  EXPECT_STREQ(zip_archive_refusal(ZIP_MAX_ENTRIES + 1, 10, 1, 1ull << 40), "more entries than 4096");
  EXPECT_STREQ(zip_archive_refusal(1, ZIP_MAX_TOTAL_BYTES + 1, 1, 1ull << 40), "unpacks to more than 1 GiB");
  EXPECT_STREQ(zip_archive_refusal(1, 5000, 1, 4999), "unpacks to more than the target volume's free space");
  EXPECT_EQ(zip_archive_refusal(1, 5000, 1, 5000), nullptr);
}

// The sum is checked before each addition: a ZIP64 entry claiming 2^64-1 bytes followed by
// small ones must not bring a wrapped total back under the cap.
TEST(ZipSurvey, SizesThatWouldWrapAreRefusedBeforeTheyAreAdded) {
  struct step {
    uint64_t size;
    const char* refusal;
  };
  const step bomb[] = {{100, nullptr}, {UINT64_MAX, "unpacks to more than 1 GiB"}, {UINT64_MAX - 99, "unpacks to more than 1 GiB"},
                       {ZIP_MAX_TOTAL_BYTES - 100, nullptr}, {1, "unpacks to more than 1 GiB"}, {0, nullptr}};
  zip_survey survey;
  for (const step& s : bomb) {
    const char* got = zip_survey_add(&survey, s.size);
    if (s.refusal) EXPECT_STREQ(got, s.refusal) << s.size;
    else EXPECT_EQ(got, nullptr) << s.size;
  }
  EXPECT_EQ(survey.entries, 3u);
  EXPECT_EQ(survey.total_bytes, ZIP_MAX_TOTAL_BYTES);

  zip_survey many;
  for (uint64_t i = 0; i < ZIP_MAX_ENTRIES; ++i) ASSERT_EQ(zip_survey_add(&many, 0), nullptr);
  EXPECT_STREQ(zip_survey_add(&many, 0), "more entries than 4096");
  EXPECT_EQ(many.entries, ZIP_MAX_ENTRIES);
}

TEST(ZipEntryPath, APathThatDoesNotFitIsRefusedRatherThanCut) {
  EXPECT_EQ(land("abcdef", 7).kind, ZIP_ENTRY_FILE);
  EXPECT_EQ(land("abcdefg", 7).kind, ZIP_ENTRY_REFUSED);
  // Cut short, "a/..." would read as "a\.."; it must not be judged on the cut text.
  EXPECT_EQ(land("a/....x", 6).kind, ZIP_ENTRY_REFUSED);
  char none[1];
  EXPECT_EQ(zip_entry_path("x", none, 0), ZIP_ENTRY_REFUSED);
}

TEST(DirectoryRootLength, DrivesUncAndRelativePaths) {
  EXPECT_EQ(directory_root_length("C:\\Users\\me"), 3u);
  EXPECT_EQ(directory_root_length("C:"), 2u);
  EXPECT_EQ(directory_root_length("C:rel\\x"), 2u);
  EXPECT_EQ(directory_root_length("\\\\server\\share\\dir\\x"), 15u);
  EXPECT_EQ(directory_root_length("\\\\server\\share"), 14u);
  EXPECT_EQ(directory_root_length("\\\\server"), 8u);
  EXPECT_EQ(directory_root_length("\\top\\x"), 1u);
  EXPECT_EQ(directory_root_length("relative\\x"), 0u);
  EXPECT_EQ(directory_root_length(""), 0u);
  EXPECT_EQ(directory_root_length(nullptr), 0u);
}

TEST(ZipProgressPercent, SixtyFourBitArithmeticAndCap) {
  EXPECT_EQ(zip_progress_percent(0, 0), 0);
  EXPECT_EQ(zip_progress_percent(5, 0), 0);
  EXPECT_EQ(zip_progress_percent(1, 3), 33);
  EXPECT_EQ(zip_progress_percent(3, 3), 100);
  // count × 100 overflows 32 bits here; the percent must not.
  EXPECT_EQ(zip_progress_percent(4000000000u, 4000000000u), 100);
  EXPECT_EQ(zip_progress_percent(2000000000u, 4000000000u), 50);
  EXPECT_EQ(zip_progress_percent(4000000000u, 1000u), 100);
  EXPECT_EQ(zip_progress_percent(UINT64_MAX / 2, UINT64_MAX), 50);  // no product that wraps
}

TEST(ZipEntryNameForLog, ControlAndNonAsciiBytesBecomeQuestionMarks) {
  char out[16];
  zip_entry_name_for_log("a\r\nb\x01\xC3\xA9/\x7F..", out, sizeof out);
  EXPECT_STREQ(out, "a\?\?b\?\?\?/\?..");
  zip_entry_name_for_log("a much longer name than fits", out, sizeof out);
  EXPECT_STREQ(out, "a much longer n");
}

std::string eocd(uint16_t entries, uint32_t cd_size, uint32_t cd_offset, std::string comment) {
  std::string r("PK\x05\x06", 4);
  auto put16 = [&r](uint32_t v) { r += static_cast<char>(v & 0xFF); r += static_cast<char>(v >> 8 & 0xFF); };
  put16(0);
  put16(0);
  put16(entries);
  put16(entries);
  put16(cd_size & 0xFFFF);
  put16(cd_size >> 16);
  put16(cd_offset & 0xFFFF);
  put16(cd_offset >> 16);
  put16(static_cast<uint32_t>(comment.size()));
  return r + comment;
}

bool empty_archive(const std::string& bytes, uint64_t size) {
  return zip_is_empty_archive(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), size);
}

TEST(ZipIsEmptyArchive, OnlyAWholeRecordForNoEntries) {
  std::string plain = eocd(0, 0, 0, "");
  EXPECT_TRUE(empty_archive(plain, 22));
  EXPECT_TRUE(empty_archive(eocd(0, 0, 0, "note"), 26));
  EXPECT_FALSE(empty_archive(eocd(0, 0, 0, "note"), 40)) << "data after the comment";
  EXPECT_FALSE(empty_archive(plain, 23));
  EXPECT_FALSE(empty_archive(eocd(1, 46, 0, ""), 22));
  EXPECT_FALSE(empty_archive(eocd(0, 0, 7, ""), 22));
  EXPECT_FALSE(empty_archive(plain.substr(0, 21), 21));
  std::string local = plain;
  local[3] = '\x04';  // a local header signature instead
  EXPECT_FALSE(empty_archive(local, 22));
  EXPECT_FALSE(zip_is_empty_archive(nullptr, 0, 22));
}

}  // namespace
