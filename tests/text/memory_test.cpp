// The large-page hint: whatever part of a block it covers, and whatever the system makes of
// it, the block keeps every byte it held and takes new ones.
#include "text/memory.hpp"

#include <gtest/gtest.h>

#include <cstddef>
#include <string>

namespace quillreap::text {
namespace {

TEST(LargePages, TheHintedBlockKeepsWhatItHoldsAndTakesMore) {
  struct Case {
    std::size_t offset;  // where the hint starts inside the block
    std::size_t size;
  };
  constexpr std::size_t kBlock = 6u << 20;
  for (const Case& c :
       {Case{0, 0}, Case{1, 1}, Case{3, 4096}, Case{17, kBlock - 17}, Case{0, kBlock}}) {
    std::string block(kBlock, '\0');
    for (std::size_t i = 0; i < block.size(); i += 4093) block[i] = static_cast<char>(1 + i % 251);
    const std::string before = block;
    prefer_large_pages(block.data() + c.offset, c.size);
    EXPECT_EQ(block, before) << c.offset << " " << c.size;
    block.append(4096, 'x');  // and the block is still written to as before
    EXPECT_EQ(block.compare(0, before.size(), before), 0);
  }
}

}  // namespace
}  // namespace quillreap::text
