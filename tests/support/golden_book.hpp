// The golden books: the exact bytes a download of each sample book must write, kept
// under tests/fixtures/sources.
#pragma once

#include <filesystem>
#include <string>

namespace quillreap::test_support {

// stem: the file's name without ".txt", e.g. "source1_xiyouji". "" when there is no such
// file, so a test comparing against it fails rather than passes on two empty books.
std::string golden_book(const std::string& stem);

// A file under tests/fixtures, e.g. "text/search_page.gbk.txt", byte for byte; "" when
// there is none.
std::string fixture_bytes(const std::string& relative);

// The whole file at path, byte for byte; "" when it cannot be read.
std::string file_bytes(const std::filesystem::path& path);

}  // namespace quillreap::test_support
