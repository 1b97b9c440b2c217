// Hints to the system about how the program uses a block of its memory.
#pragma once

#include <cstddef>

namespace quillreap::text {

// A large block that will be filled from start to end and kept (a book buffer): where the
// system can, it backs the block with large pages, so that filling it costs a page fault
// every 2 MB instead of every 4 KB. Nothing changes in what the block holds; where the
// system has no such pages this does nothing.
void prefer_large_pages(void* start, std::size_t size);

}  // namespace quillreap::text
