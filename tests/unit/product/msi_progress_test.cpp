// The creeping progress bars at the points the install and uninstall screens promise, and
// the forward-only rule every caller relies on.
#include <gtest/gtest.h>

#include "product/msi_progress.h"

namespace {

constexpr uint32_t SECOND = 1000;

TEST(CreepCurve, MsiexecAtItsDocumentedPoints) {
  EXPECT_EQ(creep_percent(MSI_INSTALL_CREEP, 0), 30);
  EXPECT_EQ(creep_percent(MSI_INSTALL_CREEP, 1 * SECOND), 31);
  EXPECT_EQ(creep_percent(MSI_INSTALL_CREEP, 10 * SECOND), 42);
  EXPECT_EQ(creep_percent(MSI_INSTALL_CREEP, 20 * SECOND), 52);
  EXPECT_EQ(creep_percent(MSI_INSTALL_CREEP, 40 * SECOND), 65);
  EXPECT_EQ(creep_percent(MSI_INSTALL_CREEP, 120 * SECOND), 82);
  // 85 − 55·e^(−t/40) reaches 83.5 at t ≈ 144.08 s: "84 from about 2 min 24 s on".
  EXPECT_EQ(creep_percent(MSI_INSTALL_CREEP, 144 * SECOND), 83);
  EXPECT_EQ(creep_percent(MSI_INSTALL_CREEP, 144100), 84);
  EXPECT_EQ(creep_percent(MSI_INSTALL_CREEP, 300 * SECOND), 84);
}

TEST(CreepCurve, NeverPassesItsCapHoweverLongTheStepRuns) {
  for (const creep_curve& curve : {MSI_INSTALL_CREEP, UNINSTALL_CLOSE_CREEP, UNINSTALL_REMOVE_CREEP,
                                   PREINSTALL_CLOSE_CREEP, PREINSTALL_UNINSTALL_CREEP}) {
    EXPECT_EQ(creep_percent(curve, 3600 * SECOND), curve.cap);
    // A tick-count difference near its 32-bit limit (49.7 days) is just a very long step.
    EXPECT_EQ(creep_percent(curve, 0xFFFFFFFFu), curve.cap);
  }
}

TEST(CreepCurve, UninstallPhasesStartBelowTheirFirstValueAndCreepAt40Seconds) {
  EXPECT_EQ(creep_percent(UNINSTALL_CLOSE_CREEP, 0), 20);
  EXPECT_EQ(creep_percent(UNINSTALL_REMOVE_CREEP, 0), 10);
  // 85 − 65·e^(−1.5) = 70.497: a 60 s close phase leaves the bar at 70.
  EXPECT_EQ(creep_percent(UNINSTALL_CLOSE_CREEP, 60 * SECOND), 70);
  EXPECT_EQ(creep_percent(UNINSTALL_REMOVE_CREEP, 60 * SECOND), 68);
}

TEST(CreepCurve, PreinstallRemovalApproaches95AndStopsAt90) {
  EXPECT_EQ(creep_percent(PREINSTALL_CLOSE_CREEP, 0), 0);
  EXPECT_EQ(creep_percent(PREINSTALL_CLOSE_CREEP, 1 * SECOND), 31);  // a close of 1 s
  EXPECT_EQ(creep_percent(PREINSTALL_CLOSE_CREEP, 10 * SECOND), 90);
  // 95·(1 − e^(−t/25)) reaches 89.5 at t ≈ 71.2 s.
  EXPECT_EQ(creep_percent(PREINSTALL_UNINSTALL_CREEP, 71 * SECOND), 89);
  EXPECT_EQ(creep_percent(PREINSTALL_UNINSTALL_CREEP, 72 * SECOND), 90);
}

TEST(CreepAdvance, ReportsOnlyValuesAboveTheLastOne) {
  int last = 30;  // the install screen's "installing" 30 comes first
  EXPECT_EQ(creep_advance(MSI_INSTALL_CREEP, 0, &last), 0);
  EXPECT_EQ(creep_advance(MSI_INSTALL_CREEP, 500, &last), 1);  // 30.68 rounds to 31
  EXPECT_EQ(last, 31);
  EXPECT_EQ(creep_advance(MSI_INSTALL_CREEP, 1 * SECOND, &last), 0);  // still 31
  EXPECT_EQ(last, 31);
  last = 60;  // a caller that already showed more never sees the bar go back
  EXPECT_EQ(creep_advance(MSI_INSTALL_CREEP, 20 * SECOND, &last), 0);
  EXPECT_EQ(last, 60);
  EXPECT_EQ(creep_advance(MSI_INSTALL_CREEP, 40 * SECOND, nullptr), 0);
}

TEST(CreepAdvance, AHalfSecondPollOverFiveMinutesClimbsStrictlyToTheCap) {
  int last = 30, reports = 0, previous = 30;
  for (uint32_t t = 0; t <= 300 * SECOND; t += 500) {
    if (creep_advance(MSI_INSTALL_CREEP, t, &last)) {
      EXPECT_GT(last, previous);
      previous = last;
      ++reports;
    }
  }
  EXPECT_EQ(last, 84);
  EXPECT_EQ(reports, 84 - 30);  // every percent from 31 to 84 shown once
}

}  // namespace
