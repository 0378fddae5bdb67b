// The waits while another installation holds the Windows Installer.
#include <gtest/gtest.h>

#include <vector>

#include "install/msi_busy.h"

namespace {

TEST(MsiBusyWait, GrowsToAMinuteAndStopsAtTenMinutesInAll) {
  std::vector<uint32_t> waits;
  uint32_t waited = 0;
  for (int retries = 0; retries < 100; ++retries) {
    uint32_t wait = msi_busy_wait_ms(retries, waited);
    if (wait == 0) break;
    waits.push_back(wait);
    waited += wait;
  }
  std::vector<uint32_t> expected = {5000, 10000, 20000, 40000};
  expected.insert(expected.end(), 8, 60000);
  expected.push_back(45000);  // the last one ends at the limit instead of passing it
  EXPECT_EQ(waits, expected);
  EXPECT_EQ(waited, MSI_BUSY_WAIT_LIMIT_MS);
  EXPECT_EQ(msi_busy_wait_ms(2, 599000), 1000u);  // counted from what was waited, not the count of tries
  EXPECT_EQ(msi_busy_wait_ms(0, 700000), 0u);
}

}  // namespace
