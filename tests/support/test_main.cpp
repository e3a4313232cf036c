// Test entry point: every test process gets its own empty data folder through
// MIRUFO_HOME, so that no test reads or writes the user's real files.
#include "test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  mirufo::test::TempDir home;
  setenv("MIRUFO_HOME", home.Path().c_str(), 1);
  return RUN_ALL_TESTS();
}
