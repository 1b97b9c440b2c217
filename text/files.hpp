// Files and the program's directory. Paths are GBK texts; each platform file turns them
// into what its file system takes (UTF-16 on Windows, UTF-8 on Linux).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "text/primitives.hpp"

namespace quillreap::text {

// Creates or truncates path and writes the buffers in order (empty ones skipped).
// false on an empty path or any failure to open or write.
bool write_file(std::string_view path, std::initializer_list<const Bytes*> buffers);
inline bool write_file(std::string_view path, const Bytes& bytes) {
  return write_file(path, {&bytes});
}
// The same for one text, written as it is held: a book of tens of megabytes is not copied
// into a byte buffer first.
bool write_text_file(std::string_view path, std::string_view text);
// Creates the directory path (its parent must exist) or finds it there; true when it is a
// directory afterwards. hidden marks a new directory hidden where a leading dot does not.
bool make_directory(std::string_view path, bool hidden = false);

// Why a file or directory could not be had, as far as a message tells the cases apart.
enum class FileProblem { kNone, kMissing, kNoPermission, kFileInTheWay, kIsADirectory, kOther };
// A few words for a message.
constexpr std::string_view describe(FileProblem problem) {
  switch (problem) {
    case FileProblem::kNone:
      return "no problem";
    case FileProblem::kMissing:
      return "no such file or directory";
    case FileProblem::kNoPermission:
      return "permission denied";
    case FileProblem::kFileInTheWay:
      return "a file is in the way";
    case FileProblem::kIsADirectory:
      return "it is a directory";
    case FileProblem::kOther:
      break;
  }
  return "the system refused";
}
// Creates the directory path and every missing directory above it, or finds it there;
// kNone when it is a directory afterwards, else what stood in the way.
FileProblem make_directories(std::string_view path);
// Moves from over to, replacing an existing file at to in one step.
bool replace_file(std::string_view from, std::string_view to);
bool remove_file(std::string_view path);
// The bytes of a file, or nullopt when it cannot be read (tests and the command line), with
// why in *problem when one is given.
std::optional<Bytes> read_file(std::string_view path, FileProblem* problem = nullptr);
// The seam tests fail reads through, as a disk error or another program's lock would: while
// a fault is set, read_file fails for each path it answers a problem other than kNone for,
// with that problem. Set and cleared while no other thread reads a file.
using ReadFault = std::function<FileProblem(std::string_view path)>;
void set_read_fault(ReadFault fault);
// What the fault set says of path; kNone when none is set.
FileProblem read_fault(std::string_view path);
// Whether a plain file stands at path.
bool file_exists(std::string_view path);
// Whether a directory stands at path.
bool directory_exists(std::string_view path);
// The names of the plain files in directory, in no set order; none when it cannot be read.
std::vector<Text> list_files(std::string_view directory);

// A file held open for reading at any offset while the object lives. Others may go on
// appending to it, renaming or removing it meanwhile, on Windows too (full sharing).
class FileReader {
 public:
  FileReader() = default;  // holds no file
  explicit FileReader(std::string_view path);
  FileReader(FileReader&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}
  FileReader& operator=(FileReader&& other) noexcept {
    if (this != &other) {
      close();
      handle_ = std::exchange(other.handle_, kNone);
    }
    return *this;
  }
  ~FileReader() { close(); }

  bool is_open() const { return handle_ != kNone; }
  // Exactly size bytes from offset into out (resized to them); false when the file holds
  // fewer there, or on any failure.
  bool read_at(std::uint64_t offset, std::size_t size, Bytes& out) const;

 private:
  static constexpr std::intptr_t kNone = -1;
  void close();
  std::intptr_t handle_ = kNone;  // a descriptor on Linux, a HANDLE on Windows
};

// A file held open for appending while the object lives, so that many small appends
// cost one open and one close between them. Every write lands at the end of the file,
// even beside another writer; others may read, rename or remove it meanwhile.
class FileAppender {
 public:
  FileAppender() = default;  // holds no file
  // Opens path for appending, creating it when missing; is_open() tells whether it worked.
  explicit FileAppender(std::string_view path);
  FileAppender(FileAppender&& other) noexcept : handle_(std::exchange(other.handle_, kNone)) {}
  FileAppender& operator=(FileAppender&& other) noexcept {
    if (this != &other) {
      close();
      handle_ = std::exchange(other.handle_, kNone);
    }
    return *this;
  }
  ~FileAppender() { close(); }

  bool is_open() const { return handle_ != kNone; }
  // false when no file is open or on any failure; a failed append may leave part of bytes
  // behind.
  bool append(const Bytes& bytes);
  // Closes now; false when nothing was open or the system reports that what was written
  // could not be stored.
  bool close();

 private:
  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;  // a descriptor on Linux, a HANDLE on Windows
};

// Appends bytes at the end of path, creating it when missing. false on an empty path or
// any failure; a failed append may leave part of bytes behind.
inline bool append_file(std::string_view path, const Bytes& bytes) {
  FileAppender file(path);
  return file.append(bytes) && file.close();
}

// The directory of the running program, without a trailing separator.
Text app_directory();
// Where a user's site files are looked for: "sites" beside the program on Windows,
// $XDG_CONFIG_HOME/quillreap/sites (~/.config/quillreap/sites) on Linux. "" when unknown.
Text user_sites_directory();
// The separator the platform writes between directory and file name.
char path_separator();
// name inside directory, joined by the platform's separator ("out/a.txt"; on Windows
// "Z:\\books\\a.txt"); a directory that already ends in a separator gets no second one.
Text join_path(std::string_view directory, std::string_view name);

}  // namespace quillreap::text
