// Helpers shared by the core's tests: a scratch folder and whole-file reads and writes.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <gtest/gtest.h>

#include "core/exceptions.h"

namespace tavelo::testing {

// A fresh folder for one test, removed with everything in it afterwards.
class TScratchFolder {
public:
  TScratchFolder() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = std::filesystem::temp_directory_path() /
            (std::string("tavelo-") + info->test_suite_name() + "-" + info->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string File(const std::string& name) const { return (path_ / name).string(); }
  const std::filesystem::path& Path() const { return path_; }

private:
  std::filesystem::path path_;
};

inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// The message of the framework's exception that f raises, or "(rien)" when it raises none.
template <class F> String MessageOf(F&& f) {
  try {
    f();
  } catch (const Exception& e) {
    return e.Message();
  }
  return "(rien)";
}

// The message of the exception of class E that statement raises; fails the test otherwise.
#define EXPECT_RAISES(statement, E, message)                      \
  do {                                                            \
    try {                                                         \
      statement;                                                  \
      ADD_FAILURE() << "no " #E " raised by " #statement;         \
    } catch (const E& raised) {                                   \
      EXPECT_EQ(raised.ClassName(), ::tavelo::String(#E));        \
      EXPECT_EQ(raised.Message(), ::tavelo::String(message));    \
    }                                                             \
  } while (0)

}  // namespace tavelo::testing
