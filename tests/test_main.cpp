// The main of every test program. It exits with a code of its own when every case that ran
// passed but some were skipped, so that CTest reports a program registered as one test as
// skipped rather than passed; any failure still fails the program.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const int result = RUN_ALL_TESTS();
  if (result != 0) return result;
  return ::testing::UnitTest::GetInstance()->skipped_test_count() > 0 ? QUILLREAP_SKIPPED_EXIT_CODE
                                                                      : 0;
}
