// Downloads under Wine through the vendor stand-in: whole files over both schemes, progress,
// no file left after any failure, the stall and rate-collapse rules, and the URL walk.
#include <windows.h>

#include <string>
#include <vector>

#include "acquire/download.h"
#include "base/folders_win.h"
#include "base/wide_win.h"
#include "vendor_stand_in.h"

using namespace net_test;

namespace {

std::vector<int>* g_progress = nullptr;
void record_progress(int32_t percent, void*) { g_progress->push_back(percent); }

std::string pattern(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131) ^ (i >> 9));
  return bytes;
}

class VendorDownload : public VendorTest {
 protected:
  void SetUp() override {
    VendorTest::SetUp();
    g_progress = &progress_;
    dest_ = temp_dir() + "\\net-download.bin";
    DeleteFileA(dest_.c_str());
  }
  static std::string temp_dir() {  // without its trailing backslash, as callers pass folders
    char temp[MAX_PATH];
    temp_folder(temp, sizeof temp);
    std::string dir(temp);
    dir.pop_back();
    return dir;
  }
  download_result fetch(const char* url, int rate_check = 1, uint64_t max_bytes = 1ull << 30) {
    return http_download_file(url, dest_.c_str(), record_progress, nullptr, rate_check, max_bytes);
  }
  std::vector<int> progress_;
  std::string dest_;
};

}  // namespace

TEST_F(VendorDownload, WholeFileOverBothSchemesWithRisingProgress) {
  std::string body = pattern(300000);
  vendor_add_file("P.msi", body);
  for (const char* url : {"http://update-dl.corvane.com/P.msi", "https://beta-update-dl.corvane.org/P.msi"}) {
    progress_.clear();
    DeleteFileA(dest_.c_str());
    ASSERT_EQ(fetch(url), download_result::ok) << url << "\n" << log_text();
    EXPECT_EQ(read_file(dest_), body);
    ASSERT_GE(progress_.size(), 3u);
    EXPECT_EQ(progress_.front(), 0);
    EXPECT_EQ(progress_.back(), 100);
    for (size_t i = 1; i < progress_.size(); ++i) EXPECT_LE(progress_[i - 1], progress_[i]);
  }
  auto gets = vendor_requests("GET");
  ASSERT_EQ(gets.size(), 2u);
  EXPECT_EQ(gets[1].values["scheme"], "https");
  EXPECT_EQ(gets[1].values["host"], "beta-update-dl.corvane.org");
  EXPECT_EQ(gets[0].values["user_agent"], "CorvaneInstaller/2.0.266.0");
}

TEST_F(VendorDownload, ErrorStatusesLeaveNoFileAndLogNoStall) {
  vendor_add_file("P.msi", "x");
  vendor_config(R"({"faults": [{"kind": "status", "host": "*", "path": "/P.msi", "status": 500}]})");
  for (const char* url : {"http://update-dl.corvane.com/missing.msi", "http://update-dl.corvane.com/P.msi"}) {
    EXPECT_EQ(fetch(url), download_result::failed) << url;
    EXPECT_FALSE(path_exists(dest_.c_str())) << url;
  }
  EXPECT_TRUE(progress_.empty());
  std::string log = log_text();
  EXPECT_NE(log.find("HTTP 404"), std::string::npos) << log;
  EXPECT_NE(log.find("HTTP 500"), std::string::npos) << log;
  EXPECT_EQ(log.find("stalled"), std::string::npos);
  EXPECT_EQ(log.find("collapsed"), std::string::npos);
}

// The package is only ever written as a new file: a name someone else made first is neither
// written through nor removed.
TEST_F(VendorDownload, AnExistingFileIsNeitherReplacedNorRemoved) {
  vendor_add_file("P.msi", pattern(1000));
  write_file(dest_, "planted");
  EXPECT_EQ(fetch("http://update-dl.corvane.com/P.msi"), download_result::failed);
  EXPECT_EQ(read_file(dest_), "planted");
  EXPECT_NE(log_text().find("Download could not create its file (err=80)"), std::string::npos) << log_text();
}

TEST_F(VendorDownload, MissingLengthReportsOnlyZeroAndHundred) {
  vendor_add_file("P.msi", pattern(200000));
  vendor_config(R"({"faults": [{"kind": "no_length", "host": "*", "path": "*"}]})");
  ASSERT_EQ(fetch("http://update-dl.corvane.com/P.msi"), download_result::ok) << log_text();
  EXPECT_EQ(progress_, (std::vector<int>{0, 100}));
  EXPECT_EQ(read_file(dest_).size(), 200000u);
}

TEST_F(VendorDownload, BodyPastItsLengthNeverReportsOverHundred) {
  vendor_add_file("P.msi", pattern(200000));
  vendor_config(R"({"faults": [{"kind": "overlong", "host": "*", "path": "*"}]})");
  ASSERT_EQ(fetch("http://update-dl.corvane.com/P.msi"), download_result::ok) << log_text();
  EXPECT_EQ(read_file(dest_).size(), 100000u);  // the declared length is what counts
  EXPECT_EQ(progress_.back(), 100);
  for (int p : progress_) EXPECT_LE(p, 100);
}

// Nothing a server says ends the body for it: a length over the maximum is refused before a
// file exists, and a body without one (chunked) is cut at the maximum; either way no file stays.
TEST_F(VendorDownload, NothingPastTheMaximumSizeIsKept) {
  vendor_add_file("P.msi", pattern(300000));
  vendor_config(R"({"faults": [{"kind": "claims_length", "host": "*", "path": "*", "length": 5000000000}]})");
  EXPECT_EQ(fetch("http://update-dl.corvane.com/P.msi", 1, 4294967296ull), download_result::failed);  // above 32 bits
  EXPECT_FALSE(path_exists(dest_.c_str()));
  EXPECT_TRUE(progress_.empty());  // never got as far as the body
  std::string log = log_text();
  EXPECT_NE(log.find("Download refused: its Content-Length of 5000000000 bytes is over the maximum of 4294967296"),
            std::string::npos)
      << log;

  vendor_config(R"({"faults": [{"kind": "chunked", "host": "*", "path": "*"}]})");
  EXPECT_EQ(fetch("http://update-dl.corvane.com/P.msi", 1, 200000), download_result::failed);
  EXPECT_FALSE(path_exists(dest_.c_str()));
  EXPECT_NE(log_text().find("Download cut off: its body passes the maximum of 200000 bytes"), std::string::npos);
  // The same chunked body within the maximum arrives whole.
  ASSERT_EQ(fetch("http://update-dl.corvane.com/P.msi", 1, 300000), download_result::ok) << log_text();
  EXPECT_EQ(read_file(dest_), pattern(300000));
}

TEST_F(VendorDownload, EmptyBodyMakesAnEmptyFile) {
  vendor_add_file("E.msi", "");
  ASSERT_EQ(fetch("http://update-dl.corvane.com/E.msi"), download_result::ok);
  EXPECT_TRUE(path_exists(dest_.c_str()));
  EXPECT_EQ(read_file(dest_), "");
  EXPECT_EQ(progress_, (std::vector<int>{0, 100}));
}

// Under Wine the user's own credentials go out as nothing at all (and a 407 to a CONNECT reads
// as a failed handshake, so plain HTTP here): a proxy that asked once lets the request through,
// one that asks again refuses it, and that is its own result.
TEST_F(VendorDownload, ProxySignInIsTriedOnceAndARefusalIsItsOwnResult) {
  std::string body = pattern(20000);
  vendor_add_file("P.msi", body);
  vendor_config(R"({"faults": [{"kind": "proxy_auth", "host": "update-dl.corvane.com", "times": 1}]})");
  ASSERT_EQ(fetch("http://update-dl.corvane.com/P.msi"), download_result::ok) << log_text();
  EXPECT_EQ(read_file(dest_), body);
  EXPECT_EQ(vendor_requests("GET").size(), 2u);
  DeleteFileA(dest_.c_str());
  vendor_config(R"({"faults": [{"kind": "proxy_auth", "host": "update-dl.corvane.com", "schemes": ["Basic realm=\"x\""]},
                               {"kind": "proxy_auth", "host": "*"}]})");
  EXPECT_EQ(fetch("http://update-dl.corvane.com/P.msi"), download_result::proxy_auth_required);
  EXPECT_EQ(fetch("http://update-dl.corvane.net/P.msi"), download_result::proxy_auth_required);
  EXPECT_FALSE(path_exists(dest_.c_str()));
  std::string log = log_text();
  EXPECT_NE(log.find("Proxy sign-in: accepted (HTTP 200)"), std::string::npos) << log;
  EXPECT_NE(log.find("Proxy sign-in: the proxy asks for sign-in (HTTP 407) with Basic only, which needs a password"),
            std::string::npos);
  EXPECT_NE(log.find("Proxy sign-in: the proxy refused the signed-in user (HTTP 407 again)"), std::string::npos);
  EXPECT_NE(log.find("Download refused by the proxy: proxy authentication required: http://update-dl.corvane.net/P.msi"),
            std::string::npos);
}

TEST_F(VendorDownload, TruncatedBodyIsAFailureWithoutAFile) {
  vendor_add_file("P.msi", pattern(100000));
  vendor_config(R"({"faults": [{"kind": "truncated", "host": "*", "path": "*"}]})");
  EXPECT_EQ(fetch("http://update-dl.corvane.com/P.msi"), download_result::failed);
  EXPECT_FALSE(path_exists(dest_.c_str()));
}

TEST_F(VendorDownload, StallIsAbandonedWithItsLineAndNoFile) {
  vendor_add_file("P.msi", pattern(50000));
  vendor_config(R"({"faults": [{"kind": "stall", "host": "*", "path": "*", "bytes": 8192, "seconds": 40}]})");
  EXPECT_EQ(fetch("http://update-dl.corvane.com/P.msi"), download_result::failed);
  EXPECT_FALSE(path_exists(dest_.c_str()));
  std::string log = log_text();
  EXPECT_NE(log.find("[WARN] [Installer] Download stalled: no data for 15000 ms at 8192 of 50000 bytes — abandoning"),
            std::string::npos)
      << log;
}

TEST_F(VendorDownload, FastThenTrickleCollapses) {
  vendor_add_file("P.msi", pattern(8 << 20));
  vendor_config(R"({"faults": [{"kind": "trickle", "host": "*", "path": "*", "fast_bytes": 4194304,
                                "rate": 2048, "seconds": 40}]})");
  EXPECT_EQ(fetch("http://update-dl.corvane.com/P.msi"), download_result::rate_collapsed);
  EXPECT_FALSE(path_exists(dest_.c_str()));
  std::string log = log_text();
  EXPECT_NE(log.find("Download rate collapsed: "), std::string::npos) << log;
  EXPECT_NE(log.find("% of this transfer's "), std::string::npos);
  EXPECT_NE(log.find(" B/s peak for 6000ms at "), std::string::npos);
  EXPECT_NE(log.find(" of 8388608 bytes — trying the next URL"), std::string::npos);
}

static uint64_t bytes_served() {
  uint64_t sum = 0;
  for (auto& r : vendor_records("served.jsonl")) sum += std::stoull(r.values["bytes"]);
  return sum;
}

TEST_F(VendorDownload, ADropAt60PercentIsResumedFromTheBytesOnDisk) {
  std::string body = pattern(400000);
  vendor_add_file("P.msi", body);
  vendor_config(R"({"faults": [{"kind": "dropped", "host": "*", "path": "*", "times": 1}]})");
  ASSERT_EQ(fetch("https://update-dl.corvane.com/P.msi"), download_result::ok) << log_text();
  EXPECT_EQ(read_file(dest_), body);
  auto gets = vendor_requests("GET");
  ASSERT_EQ(gets.size(), 2u);
  EXPECT_EQ(gets[0].values.count("range"), 0u);
  EXPECT_EQ(gets[1].values["range"], "bytes=240000-");
  EXPECT_EQ(gets[1].values["if_range"].front(), '"');  // the strong ETag of the first answer
  EXPECT_LT(bytes_served(), body.size() * 3 / 2);
  for (size_t i = 1; i < progress_.size(); ++i) EXPECT_LE(progress_[i - 1], progress_[i]);
  EXPECT_EQ(progress_.back(), 100);
  std::string log = log_text();
  EXPECT_NE(log.find("Download resuming at 240000 of 400000 bytes (resume 1 of 2)"), std::string::npos) << log;
  EXPECT_NE(log.find("Download resumed: Content-Range bytes 240000-399999/400000"), std::string::npos) << log;
}

TEST_F(VendorDownload, AWholeOrMisplacedAnswerToTheRangeStartsOver) {
  std::string body = pattern(300000);
  vendor_add_file("P.msi", body);
  for (const char* kind : {"whole_range", "wrong_range"}) {
    DeleteFileA(dest_.c_str());
    vendor_config(std::string(R"({"faults": [{"kind": "dropped", "host": "*", "path": "*", "times": 1},
                                             {"kind": ")") + kind + R"(", "host": "*", "path": "*", "times": 1}]})");
    ASSERT_EQ(fetch("http://update-dl.corvane.com/P.msi"), download_result::ok) << kind << "\n" << log_text();
    EXPECT_EQ(read_file(dest_), body) << kind;  // nothing of the first try stays in front of it
  }
  std::string log = log_text();
  EXPECT_NE(log.find("Download resume answered with the whole file (HTTP 200) — starting over"), std::string::npos);
  EXPECT_NE(log.find("Download resume answered with other bytes (Content-Range: bytes 0-299999/300000)"),
            std::string::npos);
  EXPECT_NE(log.find("Download starting over (resume 2 of 2)"), std::string::npos) << log;
}

TEST_F(VendorDownload, TwoResumesAtMostAndNoFileAfterThem) {
  vendor_add_file("P.msi", pattern(200000));
  vendor_config(R"({"faults": [{"kind": "dropped", "host": "*", "path": "*"}]})");
  EXPECT_EQ(fetch("http://update-dl.corvane.com/P.msi"), download_result::failed);
  EXPECT_FALSE(path_exists(dest_.c_str()));
  auto gets = vendor_requests("GET");
  ASSERT_EQ(gets.size(), 3u);
  EXPECT_EQ(gets[1].values["range"], "bytes=120000-");
  EXPECT_EQ(gets[2].values["range"], "bytes=168000-");  // 60 % of the rest came with the first resume
}

TEST_F(VendorDownload, EveryUrlFailingWalksTwelveInOrder) {
  package_download_request request{"", "corvane.net", "Corvane-Installer-win-x64-2.1.7.0.msi", nullptr, nullptr,
                                   nullptr, 0};
  std::string dir = temp_dir();
  request.dest_dir = dir.c_str();
  char path[DOWNLOAD_PATH_OUT] = "untouched", message[DOWNLOAD_MESSAGE_OUT];
  EXPECT_EQ(download_installer_package(&request, path, message), package_walk::all_failed);
  EXPECT_STREQ(message, "Failed to download installer after all attempts");
  std::vector<std::string> seen;
  for (auto& r : vendor_requests("GET")) seen.push_back(r.values["scheme"] + "://" + r.values["host"] + r.values["path"]);
  std::vector<std::string> expected;
  for (const char* scheme : {"https", "http"})
    for (const char* domain : {"corvane.net", "corvane.com", "corvane.org"})
      for (const char* ext : {"zip", "msi"})
        expected.push_back(std::string(scheme) + "://update-dl." + domain + "/Corvane-Installer-win-x64-2.1.7.0." + ext);
  EXPECT_EQ(seen, expected);
  std::string log = log_text();
  EXPECT_NE(log.find("Download attempt (zip): https://update-dl.corvane.net/Corvane-Installer-win-x64-2.1.7.0.zip"),
            std::string::npos);
  EXPECT_NE(log.find("Download failed (msi): http://update-dl.corvane.org/Corvane-Installer-win-x64-2.1.7.0.msi"),
            std::string::npos);
}

TEST_F(VendorDownload, MsiOnlySucceedsOnTheFirstHostThatHasIt) {
  vendor_add_file("Q.msi", "package");
  vendor_config(R"({"faults": [{"kind": "status", "host": "update-dl.corvane.com", "path": "*", "status": 404}]})");
  std::string dir = temp_dir();
  package_download_request request{nullptr, nullptr, "Q.msi", dir.c_str(), nullptr, nullptr, 1};
  char path[DOWNLOAD_PATH_OUT], message[DOWNLOAD_MESSAGE_OUT];
  ASSERT_EQ(download_installer_package(&request, path, message), package_walk::kept);
  EXPECT_STREQ(message, "success");
  EXPECT_EQ(std::string(path), dir + "\\Q.msi");
  EXPECT_EQ(read_file(path), "package");
  DeleteFileA(path);
  auto gets = vendor_requests("GET");
  ASSERT_EQ(gets.size(), 2u);
  EXPECT_EQ(gets[1].values["host"], "update-dl.corvane.net");
  EXPECT_EQ(gets[1].values["path"], "/Q.msi");
}

TEST_F(VendorDownload, CollapseTurnsTheRuleOffForLaterUrls) {
  vendor_add_file("R.zip", pattern(8 << 20));
  vendor_add_file("R.msi", pattern(8 << 20));
  // The zip collapses; the msi trickles the same way but, with the rule off, runs until the
  // server gives up (a failure, not a collapse); the next host then serves the zip.
  vendor_config(R"({"faults": [
      {"kind": "trickle", "host": "update-dl.corvane.com", "path": "*", "scheme": "https",
       "fast_bytes": 4194304, "rate": 8192, "seconds": 12}]})");
  std::string dir = temp_dir();
  package_download_request request{nullptr, nullptr, "R.msi", dir.c_str(), nullptr, nullptr, 0};
  char path[DOWNLOAD_PATH_OUT], message[DOWNLOAD_MESSAGE_OUT];
  ASSERT_EQ(download_installer_package(&request, path, message), package_walk::kept) << log_text();
  EXPECT_EQ(std::string(path), dir + "\\R.zip");
  DeleteFileA(path);
  std::string log = log_text();
  size_t first = log.find("Download rate collapsed");
  ASSERT_NE(first, std::string::npos) << log;
  EXPECT_EQ(log.find("Download rate collapsed", first + 1), std::string::npos) << log;
  EXPECT_NE(log.find("Download failed (msi): https://update-dl.corvane.com/R.msi"), std::string::npos);
}
