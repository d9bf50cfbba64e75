#include "support/test_paths.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

namespace tesnova::testing {

std::filesystem::path TestData(const std::string& name) {
  return std::filesystem::path(TESNOVA_TEST_DATA) / name;
}

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string name = info ? std::string(info->test_suite_name()) + "." + info->name() : "scratch";
  for (char& c : name)
    if (c == '/') c = '_';
  path_ = std::filesystem::temp_directory_path() /
          ("tesnova-" + name + "-" + std::to_string(stamp) + "-" + std::to_string(counter++));
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

}  // namespace tesnova::testing
