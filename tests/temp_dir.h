// A fresh, empty folder under the system's temporary folder (TMPDIR, else
// /tmp), removed with all it holds when the object goes. As a member of a
// test's fixture it goes in the fixture's teardown, so also when the test
// fails.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

class TempDir {
 public:
  explicit TempDir(const std::string& prefix = "curling-test") {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder; "" when it could not be made.
  const std::string& path() const { return path_; }
  // A name inside it.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};
