// Test entry point: every test process gets its own empty data folder through
// MIRUFO_HOME, so that no test reads or writes the user's real files, and
// speaks the program's own Japanese whatever the language of the shell that
// runs it (the tests of the English catalogue set their own environment).
#include "test_support.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  mirufo::test::TempDir home;
  setenv("MIRUFO_HOME", home.Path().c_str(), 1);
  mirufo::test::SpeakJapanese();
  return RUN_ALL_TESTS();
}
