// A temporary folder of one test's own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include "storage/table_error.h"

// A folder of one test's own under the system's temporary folder, removed
// with everything in it when the test ends.
class TempFolder {
 public:
  TempFolder() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = "viveze-storage";
    if (test != nullptr) name += std::string("-") + test->test_suite_name() + "-" + test->name();
    for (char& c : name) {
      if (c == '/') c = '_';
    }
    std::random_device random;
    name += '-';
    name += std::to_string(random());
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& Path() const { return path_; }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

  std::string Write(const std::string& name, std::string_view bytes) const {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    EXPECT_TRUE(out.good()) << name;
    return File(name);
  }

  static std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  // Entries of the folder, to see that nothing was left behind.
  int EntryCount() const {
    int count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(path_)) ++count;
    return count;
  }

 private:
  std::filesystem::path path_;
};

// The text of the TableError thrown by `action`, empty when none is thrown.
template <typename Action>
std::string ErrorOf(Action&& action) {
  try {
    action();
  } catch (const TableError& error) {
    return error.what();
  } catch (const std::exception& error) {
    return std::string("not a TableError: ") + error.what();
  }
  return std::string();
}
