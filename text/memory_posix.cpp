// Large pages on Linux: transparent huge pages, asked for block by block.
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

#include "text/memory.hpp"

namespace quillreap::text {

void prefer_large_pages(void* start, std::size_t size) {
#ifdef MADV_HUGEPAGE
  // madvise takes whole pages: the part of the block that covers them.
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto from = (reinterpret_cast<std::uintptr_t>(start) + page - 1) / page * page;
  const auto to = (reinterpret_cast<std::uintptr_t>(start) + size) / page * page;
  // Refused (no such pages, an old kernel): the block stays as it was, which is fine.
  if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
  (void)start, (void)size;
#endif
}

}  // namespace quillreap::text
