// Files and the program's directory on Linux. Paths are GBK texts; the file system holds
// their UTF-8 form, and the program's directory comes back from /proc/self/exe as GBK.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "text/codepage.hpp"
#include "text/files.hpp"

namespace quillreap::text {
namespace {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }
  // Closes now; false when the system reports that buffered data could not be stored.
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

bool write_all(int fd, const unsigned char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t done = ::write(fd, data, size);
    if (done < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += done;
    size -= static_cast<std::size_t>(done);
  }
  return true;
}

std::string system_path(std::string_view path) {
  return ansi_to_utf8(path);
}

FileProblem problem_of(int error) {
  switch (error) {
    case ENOENT:
      return FileProblem::kMissing;
    case EACCES:
    case EPERM:
    case EROFS:
      return FileProblem::kNoPermission;
    case ENOTDIR:
    case EEXIST:
      return FileProblem::kFileInTheWay;
    case EISDIR:
      return FileProblem::kIsADirectory;
    default:
      return FileProblem::kOther;
  }
}

// What stands at a path (in the file system's form): nothing, a file, a directory or
// something else (a device, a socket).
enum class Entry { kNone, kFile, kDirectory, kOther };
Entry entry_at(const std::string& name) {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) return Entry::kNone;
  if (S_ISREG(info.st_mode)) return Entry::kFile;
  return S_ISDIR(info.st_mode) ? Entry::kDirectory : Entry::kOther;
}

void tell(FileProblem* problem, FileProblem what) {
  if (problem) *problem = what;
}

// Creates or truncates path, lets write fill it through its descriptor, and closes it.
template <typename Write>
bool write_new_file(std::string_view path, Write write) {
  if (path.empty()) return false;
  FileDescriptor file(
      ::open(system_path(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
  return file.valid() && write(file.get()) && file.close();
}

}  // namespace

bool write_file(std::string_view path, std::initializer_list<const Bytes*> buffers) {
  return write_new_file(path, [&](int fd) {
    for (const Bytes* buffer : buffers)
      if (buffer != nullptr && !write_all(fd, buffer->data(), buffer->size())) return false;
    return true;
  });
}

bool write_text_file(std::string_view path, std::string_view text) {
  return write_new_file(path, [&](int fd) {
    return write_all(fd, reinterpret_cast<const unsigned char*>(text.data()), text.size());
  });
}

FileAppender::FileAppender(std::string_view path) {
  if (path.empty()) return;
  const int fd = ::open(system_path(path).c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0666);
  if (fd >= 0) handle_ = fd;
}

bool FileAppender::append(const Bytes& bytes) {
  if (!is_open()) return false;
  return bytes.empty() || write_all(static_cast<int>(handle_), bytes.data(), bytes.size());
}

bool FileAppender::close() {
  if (!is_open()) return false;
  return ::close(static_cast<int>(std::exchange(handle_, kNone))) == 0;
}

// A leading dot is what hides a directory here; hidden has nothing more to do.
bool make_directory(std::string_view path, bool /*hidden*/) {
  if (path.empty()) return false;
  const std::string name = system_path(path);
  if (::mkdir(name.c_str(), 0777) == 0) return true;
  return errno == EEXIST && entry_at(name) == Entry::kDirectory;
}

FileProblem make_directories(std::string_view path) {
  if (path.empty()) return FileProblem::kMissing;
  const std::string name = system_path(path);
  // Each directory from the top down; one already there is passed by.
  for (std::size_t end = name.find('/', 1);; end = name.find('/', end + 1)) {
    const std::string step = name.substr(0, end);
    if (::mkdir(step.c_str(), 0777) != 0) {
      const int error = errno;
      const Entry there = entry_at(step);
      if (there == Entry::kNone) return problem_of(error);
      if (there != Entry::kDirectory) return FileProblem::kFileInTheWay;
    }
    if (end == std::string::npos) return FileProblem::kNone;
  }
}

bool replace_file(std::string_view from, std::string_view to) {
  if (from.empty() || to.empty()) return false;
  return std::rename(system_path(from).c_str(), system_path(to).c_str()) == 0;
}

bool remove_file(std::string_view path) {
  if (path.empty()) return false;
  return ::unlink(system_path(path).c_str()) == 0;
}

std::optional<Bytes> read_file(std::string_view path, FileProblem* problem) {
  tell(problem, FileProblem::kMissing);
  if (const FileProblem fault = read_fault(path); fault != FileProblem::kNone) {
    tell(problem, fault);
    return std::nullopt;
  }
  if (path.empty()) return std::nullopt;
  FileDescriptor file(::open(system_path(path).c_str(), O_RDONLY | O_CLOEXEC));
  if (!file.valid()) {
    tell(problem, problem_of(errno));
    return std::nullopt;
  }
  Bytes bytes;
  struct stat info {};
  if (::fstat(file.get(), &info) == 0 && info.st_size > 0) {
    bytes.reserve(static_cast<std::size_t>(info.st_size));
  }
  unsigned char chunk[65536];
  for (;;) {
    const ssize_t got = ::read(file.get(), chunk, sizeof chunk);
    if (got < 0) {
      if (errno == EINTR) continue;
      tell(problem, problem_of(errno));
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  tell(problem, FileProblem::kNone);
  return bytes;
}

FileReader::FileReader(std::string_view path) {
  if (!path.empty()) handle_ = ::open(system_path(path).c_str(), O_RDONLY | O_CLOEXEC);
}

void FileReader::close() {
  if (handle_ != kNone) ::close(static_cast<int>(std::exchange(handle_, kNone)));
}

bool FileReader::read_at(std::uint64_t offset, std::size_t size, Bytes& out) const {
  out.resize(size);
  if (!is_open()) return false;
  std::size_t done = 0;
  while (done < size) {
    const ssize_t got = ::pread(static_cast<int>(handle_), out.data() + done, size - done,
                                static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;  // an error, or the file ends before size bytes
    done += static_cast<std::size_t>(got);
  }
  return true;
}

Text app_directory() {
  std::string program(256, '\0');
  for (;;) {
    const ssize_t got = ::readlink("/proc/self/exe", program.data(), program.size());
    if (got < 0) return {};
    if (static_cast<std::size_t>(got) < program.size()) {
      program.resize(static_cast<std::size_t>(got));
      break;
    }
    program.resize(program.size() * 2);
  }
  const std::size_t slash = program.rfind('/');
  if (slash == std::string::npos) return {};
  return utf8_to_ansi(std::string_view(program).substr(0, slash));
}

Text user_sites_directory() {
  // A relative XDG_CONFIG_HOME is to be ignored, as the base directory rules say.
  const char* config = std::getenv("XDG_CONFIG_HOME");
  if (config && config[0] == '/') return join_path(utf8_to_ansi(config), "quillreap/sites");
  const char* home = std::getenv("HOME");
  if (!home || home[0] == '\0') return {};
  return join_path(utf8_to_ansi(home), ".config/quillreap/sites");
}

char path_separator() {
  return '/';
}

// No GBK trail byte is a '/', so the last byte tells.
Text join_path(std::string_view directory, std::string_view name) {
  const bool ended = !directory.empty() && directory.back() == '/';
  return concat(directory, ended ? "" : "/", name);
}

bool file_exists(std::string_view path) {
  return !path.empty() && entry_at(system_path(path)) == Entry::kFile;
}

bool directory_exists(std::string_view path) {
  return !path.empty() && entry_at(system_path(path)) == Entry::kDirectory;
}

std::vector<Text> list_files(std::string_view directory) {
  std::vector<Text> names;
  const std::string folder = system_path(directory);
  std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), &::closedir);
  if (!listing) return names;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string name = entry->d_name;
    if (entry_at(folder + "/" + name) == Entry::kFile) names.push_back(utf8_to_ansi(name));
  }
  return names;
}

}  // namespace quillreap::text
