// The read seam of the files: one fault at most, set by a test.
#include <utility>

#include "text/files.hpp"

namespace quillreap::text {
namespace {

ReadFault& current_fault() {
  static ReadFault fault;
  return fault;
}

}  // namespace

void set_read_fault(ReadFault fault) {
  current_fault() = std::move(fault);
}

FileProblem read_fault(std::string_view path) {
  const ReadFault& fault = current_fault();
  return fault ? fault(path) : FileProblem::kNone;
}

}  // namespace quillreap::text
