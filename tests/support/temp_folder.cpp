#include "tests/support/temp_folder.hpp"

#include <random>

namespace quillreap::test_support {

TempFolder::TempFolder(std::string_view purpose) {
  // Two draws: one test program may make many folders, and several programs run at once.
  std::random_device random;
  path_ = std::filesystem::temp_directory_path() /
          ("quillreap-" + std::string(purpose) + "-" + std::to_string(random()) +
           std::to_string(random()));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

int entries_besides_store(const std::filesystem::path& folder) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    if (entry.path().filename() != ".quillreap") ++count;
  return count;
}

void TempFolder::empty() const {
  for (const auto& entry : std::filesystem::directory_iterator(path_))
    std::filesystem::remove_all(entry.path());
}

}  // namespace quillreap::test_support
