// Large pages on Windows need a privilege the program does not ask for: nothing to do.
#include "text/memory.hpp"

namespace quillreap::text {

void prefer_large_pages(void*, std::size_t) {}

}  // namespace quillreap::text
