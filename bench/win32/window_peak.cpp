// The Windows window's peak memory for a whole book: starts quillreap.exe from a folder of
// its own against the sample sites (on the build's default ports, as the program expects
// them) serving the benchmark book 测试巨著, searches source 2 for it and clicks 生成TXT as
// a user would, and once the book file is written reads the program's peak working set as
// Windows keeps it (GetProcessMemoryInfo) and its working set when the window stood idle.
// Prints one line of figures for bench/window-peak.
//   quillreap-window-peak QUILLREAP_EXE CHAPTERS CHAPTER_BYTES
#include <windows.h>
// psapi.h needs the types windows.h declares.
#include <psapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <system_error>

#include "tests/support/app/win32_program_window.hpp"
#include "tools/sample-sites/sample_sites.hpp"

namespace {

namespace fs = std::filesystem;
using namespace quillreap;

PROCESS_MEMORY_COUNTERS memory_of(HANDLE process) {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(process, &counters, sizeof counters)) counters = {};
  return counters;
}

int fail(const char* what) {
  std::fprintf(stderr, "quillreap-window-peak: %s\n", what);
  return 1;
}

struct Figures {
  std::uintmax_t book_bytes = 0;
  std::size_t idle_working_set = 0;
  std::size_t peak_working_set = 0;
  std::size_t pagefile_at_end = 0;
  double seconds = 0;
};

// Runs the program in folder until its book is written; false when it does not come.
bool measure(const fs::path& program, Figures& figures) {
  const fs::path book = program.parent_path() / L"\x6D4B\x8BD5\x5DE8\x8457.txt";  // 测试巨著
  test_support::StartedProgram started = test_support::start_program(program);
  if (!started.process) return false;
  HWND window = nullptr;
  bool written = test_support::wait_for(
      [&] { return (window = test_support::window_of(started.id)); }, std::chrono::seconds(60));
  if (written) {
    // The window up and drawn, nothing asked of it yet: what the program costs before any
    // book, Wine's own libraries included.
    std::this_thread::sleep_for(std::chrono::seconds(1));
    figures.idle_working_set = memory_of(started.process.get()).WorkingSetSize;
    const auto start = std::chrono::steady_clock::now();
    test_support::search_and_generate(window, 1, L"\x6D4B\x8BD5\x5DE8\x8457");
    // The book file appears whole, renamed into place once written.
    written = test_support::wait_for([&] { return fs::exists(book); }, std::chrono::minutes(10));
    figures.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const PROCESS_MEMORY_COUNTERS end = memory_of(started.process.get());
    figures.peak_working_set = end.PeakWorkingSetSize;
    figures.pagefile_at_end = end.PagefileUsage;
    std::error_code error;
    figures.book_bytes = fs::file_size(book, error);
    PostMessageW(window, WM_CLOSE, 0, 0);
  }
  if (WaitForSingleObject(started.process.get(), 30'000) != WAIT_OBJECT_0)
    TerminateProcess(started.process.get(), 1);
  return written;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return fail("usage: quillreap-window-peak QUILLREAP_EXE CHAPTERS CHAPTER_BYTES");
  const int chapters = std::atoi(argv[2]);
  const int chapter_bytes = std::atoi(argv[3]);
  try {
    sample_sites::SampleSites sites(sites::SiteConfig::defaults(), {18061, 18062, 18063},
                                    {chapters, chapter_bytes});
    // The program writes its books beside itself: a folder of its own, removed afterwards.
    const fs::path folder = fs::temp_directory_path() / L"quillreap-window-peak";
    fs::remove_all(folder);
    fs::create_directories(folder);
    const fs::path program = folder / L"quillreap.exe";
    if (!CopyFileW(fs::path(argv[1]).c_str(), program.c_str(), FALSE))
      return fail("cannot copy quillreap.exe");
    Figures figures;
    const bool written = measure(program, figures);
    std::error_code error;
    fs::remove_all(folder, error);
    if (!written) return fail("the book was not written");
    std::printf(
        "book_bytes %ju idle_working_set %zu peak_working_set %zu pagefile_at_end %zu "
        "seconds %.3f\n",
        figures.book_bytes, figures.idle_working_set, figures.peak_working_set,
        figures.pagefile_at_end, figures.seconds);
    return 0;
  } catch (const std::exception& e) {
    return fail(e.what());  // the default ports taken, most likely
  }
}
