// The log's file handling under Wine: append across opens, the temp-folder fallback, the
// logless mode, level filtering, whole lines from concurrent writers and none lost to a reopen.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "base/folders_win.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "win_support.h"

namespace {

using namespace test_support;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0, end;
  while ((end = text.find("\r\n", start)) != std::string::npos) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

class LogFile : public ::testing::Test {
 protected:
  void TearDown() override {
    log_close(LOG_MAIN);
    log_close(LOG_UI);
    for (const auto& p : cleanup_) DeleteFileA(p.c_str());
  }
  std::string fresh(const char* name) {
    std::string p = temp_path(name);
    DeleteFileA(p.c_str());
    cleanup_.push_back(p);
    return p;
  }
  std::vector<std::string> cleanup_;
};

TEST_F(LogFile, ReopeningTheSameFileAppendsAndFiltersDebug) {
  std::string path = fresh("corvane-log-append.log");
  log_open(LOG_MAIN, path.c_str(), "Installer");
  EXPECT_EQ(log_write(LOG_MAIN, LOG_LEVEL_INFO, "first %d", 1), 0);
  EXPECT_EQ(log_write(LOG_MAIN, LOG_LEVEL_DEBUG, "hidden"), 0);
  log_open(LOG_MAIN, path.c_str(), "Uninstaller");
  log_write(LOG_MAIN, 7, "second");
  log_close(LOG_MAIN);
  auto lines = lines_of(read_file(path));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find(" [INFO] [Installer] first 1"), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find(" [INFO] [Uninstaller] second"), std::string::npos) << lines[1];
  EXPECT_EQ(lines[0][23], 'Z');  // UTC time stamp with milliseconds leads the line
}

TEST_F(LogFile, ClosedChannelReportsMinusOne) {
  EXPECT_EQ(log_write(LOG_UI, LOG_LEVEL_ERROR, "nowhere"), -1);
  EXPECT_EQ(log_write(LOG_UI, LOG_LEVEL_DEBUG, "filtered before the open check"), 0);
}

TEST_F(LogFile, UnwritableFolderFallsBackToTempWithWarnFirst) {
  std::string fallback = fresh("corvane-log-fallback.log");
  const char* primary = "C:\\no-such-folder-for-corvane\\corvane-log-fallback.log";
  log_open(LOG_MAIN, primary, "Installer");
  ASSERT_TRUE(log_is_open(LOG_MAIN));
  log_write(LOG_MAIN, LOG_LEVEL_INFO, "after fallback");
  log_close(LOG_MAIN);
  auto lines = lines_of(read_file(fallback));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_NE(lines[0].find("[WARN] [Installer] Primary log path '" + std::string(primary) + "' unwritable (GLE=3); fell back to '" + fallback + "'"),
            std::string::npos)
      << lines[0];
  EXPECT_NE(lines[1].find("after fallback"), std::string::npos);
}

TEST_F(LogFile, RunsLoglessWhenTheFallbackFailsToo) {
  // A folder occupying the fallback's name makes the fallback open fail as well.
  std::string blocker = temp_path("corvane-log-blocked.log");
  CreateDirectoryA(blocker.c_str(), nullptr);
  log_open(LOG_MAIN, "C:\\no-such-folder-for-corvane\\corvane-log-blocked.log", "Installer");
  EXPECT_FALSE(log_is_open(LOG_MAIN));
  EXPECT_EQ(log_write(LOG_MAIN, LOG_LEVEL_ERROR, "lost"), -1);
  RemoveDirectoryA(blocker.c_str());
}

TEST_F(LogFile, PrimaryInTempThatFailsGivesNoFallback) {
  std::string blocker = temp_path("corvane-log-dir.log");
  CreateDirectoryA(blocker.c_str(), nullptr);
  log_open(LOG_MAIN, blocker.c_str(), "Installer");
  EXPECT_FALSE(log_is_open(LOG_MAIN));
  RemoveDirectoryA(blocker.c_str());
}

// The log of an elevated run sits in a folder every process of the user can write. A name
// planted there as a link to another file must not redirect the log into that file; the run
// logs into a file of its own beside it instead.
TEST_F(LogFile, LinkPlantedAtTheLogNameIsNotWrittenThroughAndTheRunStillLogs) {
  struct planted {
    const char* kind;
    bool (*make)(const std::string& link, const std::string& target);
  };
  const planted links[] = {
      {"hard link", [](const std::string& l, const std::string& t) { return CreateHardLinkW(wide(l).c_str(), wide(t).c_str(), nullptr) != 0; }},
      // Wine shows a symbolic link to a file as a plain file, and follows it even when asked not to.
      {"symbolic link", [](const std::string& l, const std::string& t) { return make_link(l, t) || exists(l); }},
  };
  for (const planted& link : links) {
    SCOPED_TRACE(link.kind);
    std::string victim = fresh("corvane-log-victim.txt");
    write_file(victim, "precious");
    std::string path = fresh("corvane-log-linked.log");
    ASSERT_TRUE(link.make(path, victim));
    std::string beside = fresh(("corvane-log-linked-" + std::to_string(GetCurrentProcessId()) + ".log").c_str());

    log_open(LOG_MAIN, path.c_str(), "Installer");
    ASSERT_TRUE(log_is_open(LOG_MAIN)) << "the run must still log";
    log_write(LOG_MAIN, LOG_LEVEL_INFO, "after the refusal");
    log_close(LOG_MAIN);

    EXPECT_EQ(read_file(victim), "precious") << "the log was written through the planted link";
    auto lines = lines_of(read_file(beside));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find("[WARN] [Installer] Primary log path '" + path + "' unwritable (GLE=1920); fell back to '" +
                            beside + "'"),
              std::string::npos)
        << lines[0];
    EXPECT_NE(lines[1].find("after the refusal"), std::string::npos);
    remove_link(path);
  }
}

TEST_F(LogFile, ConcurrentWritersNeverInterleaveWithinALine) {
  std::string path = fresh("corvane-log-threads.log");
  log_open(LOG_MAIN, path.c_str(), "Installer");
  std::vector<std::thread> writers;
  for (int t = 0; t < 4; ++t)
    writers.emplace_back([t] {
      std::string body(200, static_cast<char>('a' + t));
      for (int i = 0; i < 100; ++i) log_write(LOG_MAIN, LOG_LEVEL_INFO, "%s", body.c_str());
    });
  for (auto& w : writers) w.join();
  log_close(LOG_MAIN);
  auto lines = lines_of(read_file(path));
  ASSERT_EQ(lines.size(), 400u);
  for (const auto& line : lines) {
    std::string body = line.substr(line.size() - 200);
    EXPECT_EQ(body.find_first_not_of(body[0]), std::string::npos) << line;
  }
}

// The run opens its log again under its final name while threads it started already write.
TEST_F(LogFile, ReopeningWhileOthersWriteLosesNoLine) {
  std::string path = fresh("corvane-log-reopen.log");
  log_open(LOG_MAIN, path.c_str(), "Installer");
  std::vector<std::thread> writers;
  for (int t = 0; t < 2; ++t)
    writers.emplace_back([] {
      for (int i = 0; i < 300; ++i) EXPECT_EQ(log_write(LOG_MAIN, LOG_LEVEL_INFO, "line %d", i), 0);
    });
  for (int i = 0; i < 100; ++i) log_open(LOG_MAIN, path.c_str(), "Installer");
  for (auto& w : writers) w.join();
  log_close(LOG_MAIN);
  EXPECT_EQ(lines_of(read_file(path)).size(), 600u);
}

TEST_F(LogFile, MessagesAreCutAt1023Characters) {
  std::string path = fresh("corvane-log-long.log");
  log_open(LOG_MAIN, path.c_str(), "Installer");
  std::string message(2000, 'x');
  log_write(LOG_MAIN, LOG_LEVEL_INFO, "%s", message.c_str());
  log_close(LOG_MAIN);
  auto lines = lines_of(read_file(path));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].size() - lines[0].find("] x") - 2, 1023u);
}

TEST_F(LogFile, ErrorDetailLineIgnoresTheLevelFilter) {
  std::string path = fresh("corvane-log-error.log");
  log_open(LOG_MAIN, path.c_str(), "Uninstaller");
  log_set_min_level(LOG_LEVEL_ERROR + 1);
  log_write_error_details("msiexec failed", "code=1603");
  log_set_min_level(LOG_LEVEL_INFO);
  log_close(LOG_MAIN);
  auto lines = lines_of(read_file(path));
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_NE(lines[0].find(" [ERROR] [Uninstaller] msiexec failed [code=1603]"), std::string::npos) << lines[0];
}

}  // namespace
