// When a broken download is taken up where it stopped, what it asks for, and what the answer
// to a ranged request means.
#include <gtest/gtest.h>

#include <string>

#include "acquire/download_resume.h"

namespace {

resume_offer offer_of(const char* accept, const char* etag, const char* modified) {
  resume_offer offer;
  resume_offer_read(accept, etag, modified, &offer);
  return offer;
}

TEST(ResumeOffer, BytesRangesAndAStrongValidatorOnly) {
  struct row {
    const char *accept, *etag, *modified;
    int ranges;
    const char* validator;
  } rows[] = {
      {"bytes", "\"v1\"", "Tue, 01 Dec 2026 10:00:00 GMT", 1, "\"v1\""},
      {"Bytes", nullptr, "Tue, 01 Dec 2026 10:00:00 GMT", 1, "Tue, 01 Dec 2026 10:00:00 GMT"},
      {"none, bytes", "W/\"weak\"", nullptr, 1, ""},  // a weak ETag may not name a range
      {"none", "\"v1\"", nullptr, 0, "\"v1\""},
      {"bytesx", "\"v1\r\nX-Injected: 1\"", nullptr, 0, ""},  // never sent back with its line break
      {nullptr, "", "", 0, ""},
  };
  for (const row& r : rows) {
    resume_offer offer = offer_of(r.accept, r.etag, r.modified);
    EXPECT_EQ(offer.accepts_ranges, r.ranges) << (r.accept ? r.accept : "(none)");
    EXPECT_STREQ(offer.validator, r.validator) << (r.etag ? r.etag : "(none)");
  }
  std::string huge = "\"" + std::string(RESUME_VALIDATOR_SIZE, 'a') + "\"";
  EXPECT_STREQ(offer_of("bytes", huge.c_str(), nullptr).validator, "");  // cut, it would name another file
}

TEST(ResumeStep, OnlyABrokenTryWithBytesAndAnOfferResumes) {
  resume_offer good = offer_of("bytes", "\"v1\"", nullptr);
  resume_offer no_ranges = offer_of("none", "\"v1\"", nullptr);
  resume_offer no_validator = offer_of("bytes", nullptr, nullptr);
  struct row {
    try_end end;
    const resume_offer* offer;
    uint64_t on_disk, length;
    int left;
    resume_step step;
  } rows[] = {
      {TRY_BROKE, &good, 600, 1000, 2, RESUME_FROM_DISK},
      {TRY_BROKE, &good, 600, 1000, 0, RESUME_GIVE_UP},  // two resumes spent
      {TRY_BROKE, &good, 0, 1000, 2, RESUME_GIVE_UP},    // nothing arrived: the next URL, as ever
      {TRY_BROKE, &good, 1000, 1000, 2, RESUME_GIVE_UP},
      {TRY_BROKE, &no_ranges, 600, 1000, 2, RESUME_GIVE_UP},
      {TRY_BROKE, &no_validator, 600, 1000, 2, RESUME_GIVE_UP},
      {TRY_REFUSED, &good, 600, 1000, 2, RESUME_GIVE_UP},  // a limit or the rate rule
      {TRY_WRONG_RANGE, &good, 600, 1000, 1, RESUME_START_OVER},
      {TRY_WRONG_RANGE, &good, 600, 1000, 0, RESUME_GIVE_UP},
  };
  for (const row& r : rows)
    EXPECT_EQ(resume_next_step(r.end, r.offer, r.on_disk, r.length, r.left), r.step)
        << r.end << " " << r.on_disk << "/" << r.length << " left " << r.left;
}

TEST(ResumeRequest, AsksForTheRestIfTheFileIsUnchanged) {
  resume_offer offer = offer_of("bytes", "\"abc\"", nullptr);
  char headers[128];
  ASSERT_EQ(resume_request_headers(&offer, 6000000000ull, headers, sizeof headers), 0);
  EXPECT_STREQ(headers, "Range: bytes=6000000000-\r\nIf-Range: \"abc\"");
  EXPECT_EQ(resume_request_headers(&offer, 1, headers, 20), -1);
}

TEST(ResumeAnswer, OnlyTheRestFromTheBytesOnDiskIsAppended) {
  struct row {
    uint32_t status;
    const char* range;
    uint64_t on_disk, known, length_after;
    range_answer answer;
  } rows[] = {
      {206, "bytes 600-999/1000", 600, 1000, 1000, RANGE_APPEND},
      {206, "bytes 600-999/1000", 600, 0, 1000, RANGE_APPEND},   // the first answer had no length
      {206, "bytes 600-999/*", 600, 0, 0, RANGE_APPEND},
      {206, "bytes 600-899/*", 600, 1000, 1000, RANGE_MISMATCH},
      {206, "bytes 0-999/1000", 600, 1000, 1000, RANGE_MISMATCH},     // from the start again
      {206, "bytes 500-999/1000", 600, 1000, 1000, RANGE_MISMATCH},   // overlaps the bytes on disk
      {206, "bytes 600-799/1000", 600, 1000, 1000, RANGE_MISMATCH},   // stops short of the end
      {206, "bytes 600-1999/2000", 600, 1000, 1000, RANGE_MISMATCH},  // another file
      {206, "bytes 600-99999999999999999999/*", 600, 0, 0, RANGE_MISMATCH},
      {206, "bytes 600-999/1000 ", 600, 1000, 1000, RANGE_MISMATCH},
      {206, nullptr, 600, 1000, 1000, RANGE_MISMATCH},
      {200, nullptr, 600, 1000, 1000, RANGE_WHOLE},
      {416, "bytes */1000", 600, 1000, 1000, RANGE_REFUSED},
  };
  for (const row& r : rows) {
    uint64_t length = r.known;
    EXPECT_EQ(resume_answer(r.status, r.range, r.on_disk, &length), r.answer) << r.status << " " << (r.range ? r.range : "-");
    if (r.answer == RANGE_APPEND) EXPECT_EQ(length, r.length_after) << r.range;
  }
}

}  // namespace
