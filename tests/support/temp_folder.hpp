// A fresh folder under the system's temporary folder for one test (or one test program),
// removed with everything in it when the object ends. Its name is ASCII, so its GBK form,
// the one the program's own file calls take, is the same bytes.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quillreap::test_support {

// The entries in folder but the chapter store's hidden folder.
int entries_besides_store(const std::filesystem::path& folder);

class TempFolder {
 public:
  // purpose goes into the folder's name, to tell whose folder a left-over one was.
  explicit TempFolder(std::string_view purpose = "test");
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // The folder as the program takes it, with forward slashes.
  std::string text() const { return path_.generic_string(); }
  // The entries in it but the chapter store's hidden folder: the books, and any stray
  // temporary file a download left.
  int entry_count() const { return entries_besides_store(path_); }
  // Empties the folder, keeping the folder itself.
  void empty() const;

 private:
  std::filesystem::path path_;
};

}  // namespace quillreap::test_support
