// A fresh directory for one test's book files, removed with everything in it afterwards.
#pragma once

#include <filesystem>
#include <random>
#include <string>

namespace quillreap::sources {

class TempDirectory {
 public:
  TempDirectory() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("quillreap-sources-" + std::to_string(random()) + std::to_string(random()));
    std::filesystem::create_directories(path_);
  }
  ~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The directory as the sources take it: ASCII, so its GBK form is the same bytes.
  std::string text() const { return path_.generic_string(); }
  // Every entry but the chapter store's hidden folder, to catch stray temporary files.
  int entry_count() const {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator(path_))
      if (entry.path().filename() != ".quillreap") ++count;
    return count;
  }

 private:
  std::filesystem::path path_;
};

}  // namespace quillreap::sources
