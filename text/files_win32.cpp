// Files and the program's directory on Windows. Paths are GBK texts, turned into UTF-16
// with code page 936 for the wide file functions, so Chinese names work on every locale.
#include <windows.h>

#include <memory>
#include <string>

#include "text/codepage_rules.hpp"
#include "text/files.hpp"
#include "text/wide.hpp"

namespace quillreap::text {
namespace {

struct FileCloser {
  void operator()(void* handle) const noexcept { CloseHandle(handle); }
};
using FileHandle = std::unique_ptr<void, FileCloser>;

FileHandle open_file(std::string_view path, DWORD access, DWORD share, DWORD disposition) {
  if (path.empty()) return nullptr;
  HANDLE handle = CreateFileW(gbk_to_wide(path).c_str(), access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return FileHandle(handle);
}

bool write_all(HANDLE file, const unsigned char* data, std::size_t size) {
  constexpr std::size_t kMaxChunk = 1u << 30;
  while (size > 0) {
    const DWORD chunk = static_cast<DWORD>(size < kMaxChunk ? size : kMaxChunk);
    DWORD done = 0;
    if (!WriteFile(file, data, chunk, &done, nullptr) || done == 0) return false;
    data += done;
    size -= done;
  }
  return true;
}

// Creates or replaces path, lets write fill it, and closes it. No sharing while the file is
// open: nobody reads a half-written book.
template <typename Write>
bool write_new_file(std::string_view path, Write write) {
  FileHandle file = open_file(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
  return file && write(file.get()) && CloseHandle(file.release()) != 0;
}

// Opened with every sharing allowed, as a raw handle for FileAppender and FileReader: the
// chapter store reads the file it appends to, and others may read it meanwhile.
std::intptr_t open_shared(std::string_view path, DWORD access, DWORD disposition) {
  FileHandle file =
      open_file(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, disposition);
  return file ? reinterpret_cast<std::intptr_t>(file.release()) : -1;  // -1: the classes' kNone
}

// What stands at a path: nothing, a file or a directory.
enum class Entry { kNone, kFile, kDirectory };
Entry entry_at(const std::wstring& name) {
  const DWORD attributes = GetFileAttributesW(name.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Entry::kNone;
  return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? Entry::kDirectory : Entry::kFile;
}

FileProblem problem_of(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return FileProblem::kMissing;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
    case ERROR_SHARING_VIOLATION:
      return FileProblem::kNoPermission;
    case ERROR_ALREADY_EXISTS:
    case ERROR_FILE_EXISTS:
    case ERROR_DIRECTORY:
      return FileProblem::kFileInTheWay;
    default:
      return FileProblem::kOther;
  }
}

void tell(FileProblem* problem, FileProblem what) {
  if (problem) *problem = what;
}

bool is_separator(wchar_t c) {
  return c == L'\\' || c == L'/';
}

// Where the directories a path may create begin: after "C:\", "\\server\share\" or
// "\\?\C:\", which are there or not but are never made.
std::size_t first_creatable(const std::wstring& path) {
  if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
    std::size_t at = 2;
    for (int pieces = 0; pieces < 2 && at < path.size(); ++pieces) {
      while (at < path.size() && !is_separator(path[at])) ++at;
      if (at < path.size()) ++at;
    }
    return at;
  }
  if (path.size() >= 2 && path[1] == L':') return path.size() > 2 && is_separator(path[2]) ? 3 : 2;
  return !path.empty() && is_separator(path[0]) ? 1 : 0;
}

}  // namespace

bool write_file(std::string_view path, std::initializer_list<const Bytes*> buffers) {
  return write_new_file(path, [&](HANDLE file) {
    for (const Bytes* buffer : buffers)
      if (buffer != nullptr && !write_all(file, buffer->data(), buffer->size())) return false;
    return true;
  });
}

bool write_text_file(std::string_view path, std::string_view text) {
  return write_new_file(path, [&](HANDLE file) {
    return write_all(file, reinterpret_cast<const unsigned char*>(text.data()), text.size());
  });
}

FileAppender::FileAppender(std::string_view path) {
  // Append-only access: every write lands at the end, even beside another writer. Held
  // open for a whole download, so every sharing is allowed meanwhile.
  handle_ = open_shared(path, FILE_APPEND_DATA, OPEN_ALWAYS);
}

bool FileAppender::append(const Bytes& bytes) {
  if (!is_open()) return false;
  return bytes.empty() || write_all(reinterpret_cast<HANDLE>(handle_), bytes.data(), bytes.size());
}

bool FileAppender::close() {
  if (!is_open()) return false;
  return CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, kNone))) != 0;
}

bool make_directory(std::string_view path, bool hidden) {
  if (path.empty()) return false;
  const std::wstring name = gbk_to_wide(path);
  if (CreateDirectoryW(name.c_str(), nullptr)) {
    // A dot does not hide a name on Windows; the attribute does. Failing to set it
    // leaves a visible directory, which still works.
    if (hidden) SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_HIDDEN);
    return true;
  }
  return entry_at(name) == Entry::kDirectory;
}

FileProblem make_directories(std::string_view path) {
  if (path.empty()) return FileProblem::kMissing;
  const std::wstring name = gbk_to_wide(path);
  // Each directory from the top down; one already there is passed by.
  for (std::size_t end = first_creatable(name); end <= name.size(); ++end) {
    if (end < name.size() && !is_separator(name[end])) continue;
    const std::wstring step = name.substr(0, end);
    if (step.empty() || is_separator(step.back())) continue;
    if (!CreateDirectoryW(step.c_str(), nullptr)) {
      const DWORD error = GetLastError();
      const Entry there = entry_at(step);
      if (there == Entry::kNone) return problem_of(error);
      if (there == Entry::kFile) return FileProblem::kFileInTheWay;
    }
  }
  return FileProblem::kNone;
}

bool replace_file(std::string_view from, std::string_view to) {
  if (from.empty() || to.empty()) return false;
  return MoveFileExW(gbk_to_wide(from).c_str(), gbk_to_wide(to).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool remove_file(std::string_view path) {
  if (path.empty()) return false;
  return DeleteFileW(gbk_to_wide(path).c_str()) != 0;
}

std::optional<Bytes> read_file(std::string_view path, FileProblem* problem) {
  tell(problem, FileProblem::kMissing);
  if (const FileProblem fault = read_fault(path); fault != FileProblem::kNone) {
    tell(problem, fault);
    return std::nullopt;
  }
  // Others may hold the file open for appending meanwhile (a download's chapter store
  // does, for the whole download): what they appended so far is read.
  FileHandle file = open_file(
      path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!file) {
    if (!path.empty()) {
      const DWORD error = GetLastError();
      // A directory cannot be opened as a file; the system calls that access denied.
      tell(problem, entry_at(gbk_to_wide(path)) == Entry::kDirectory ? FileProblem::kIsADirectory
                                                                     : problem_of(error));
    }
    return std::nullopt;
  }
  Bytes bytes;
  LARGE_INTEGER size{};
  if (GetFileSizeEx(file.get(), &size) && size.QuadPart > 0 && size.QuadPart < 0x7FFFFFFF) {
    bytes.reserve(static_cast<std::size_t>(size.QuadPart));
  }
  unsigned char chunk[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr)) {
      tell(problem, problem_of(GetLastError()));
      return std::nullopt;
    }
    if (got == 0) break;
    bytes.insert(bytes.end(), chunk, chunk + got);
  }
  tell(problem, FileProblem::kNone);
  return bytes;
}

FileReader::FileReader(std::string_view path) {
  handle_ = open_shared(path, GENERIC_READ, OPEN_EXISTING);
}

void FileReader::close() {
  if (handle_ != kNone) CloseHandle(reinterpret_cast<HANDLE>(std::exchange(handle_, kNone)));
}

bool FileReader::read_at(std::uint64_t offset, std::size_t size, Bytes& out) const {
  out.resize(size);
  if (!is_open()) return false;
  std::size_t done = 0;
  while (done < size) {
    // The offset rides in the OVERLAPPED, so reads never depend on a file pointer.
    const std::uint64_t at = offset + done;
    OVERLAPPED where{};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    const std::size_t left = size - done;
    const DWORD chunk = static_cast<DWORD>(left < (1u << 30) ? left : (1u << 30));
    DWORD got = 0;
    if (!ReadFile(reinterpret_cast<HANDLE>(handle_), out.data() + done, chunk, &got, &where) ||
        got == 0) {
      return false;  // an error, or the file ends before size bytes
    }
    done += got;
  }
  return true;
}

Text app_directory() {
  std::wstring program(MAX_PATH, L'\0');
  for (;;) {
    const DWORD got =
        GetModuleFileNameW(nullptr, program.data(), static_cast<DWORD>(program.size()));
    if (got == 0) return {};
    if (got < program.size()) {
      program.resize(got);
      break;
    }
    program.resize(program.size() * 2);  // the name was cut off: try a larger buffer
  }
  const std::size_t backslash = program.rfind(L'\\');
  if (backslash == std::wstring::npos) return {};
  return wide_to_gbk(std::wstring_view(program).substr(0, backslash));
}

Text user_sites_directory() {
  const Text program = app_directory();
  return program.empty() ? Text() : join_path(program, "sites");
}

char path_separator() {
  return '\\';
}

// A GBK character's trail byte may be a backslash (0x5C): the last character is found by
// walking the characters from the start, and only a separator standing alone ends the folder.
Text join_path(std::string_view directory, std::string_view name) {
  std::size_t last = 0;  // where the last character starts
  for (std::size_t at = 0; at < directory.size();
       at += gbk_lead_byte(static_cast<unsigned char>(directory[at])) ? 2 : 1)
    last = at;
  const bool ended = !directory.empty() && last == directory.size() - 1 &&
                     (directory.back() == '\\' || directory.back() == '/');
  return concat(directory, ended ? "" : "\\", name);
}

bool file_exists(std::string_view path) {
  return !path.empty() && entry_at(gbk_to_wide(path)) == Entry::kFile;
}

bool directory_exists(std::string_view path) {
  return !path.empty() && entry_at(gbk_to_wide(path)) == Entry::kDirectory;
}

std::vector<Text> list_files(std::string_view directory) {
  std::vector<Text> names;
  if (directory.empty()) return names;
  WIN32_FIND_DATAW found{};
  const std::wstring pattern = gbk_to_wide(directory) + L"\\*";
  std::unique_ptr<void, decltype(&FindClose)> search(FindFirstFileW(pattern.c_str(), &found),
                                                     &FindClose);
  if (search.get() == INVALID_HANDLE_VALUE) {
    search.release();
    return names;
  }
  do {
    if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
      names.push_back(wide_to_gbk(found.cFileName));
  } while (FindNextFileW(search.get(), &found));
  return names;
}

}  // namespace quillreap::text
