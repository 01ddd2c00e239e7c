#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>

TempFolder::TempFolder() {
  std::string pattern = ::testing::TempDir() + "vantor_test_XXXXXX";
  if (mkdtemp(pattern.data())) path_ = pattern;
  EXPECT_TRUE(made()) << pattern << ": cannot be made";
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  if (made()) std::filesystem::remove_all(path_, ignored);
}
