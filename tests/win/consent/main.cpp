// The consent tests' executable doubles as the elevated copy their hand-offs start.
#include <gtest/gtest.h>

#include "elevated_child.h"

int main(int argc, char** argv) {
  int child = elevated_child::run_if_child();
  if (child >= 0) return child;
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
