// Request-target splitting for the sample sites' routing.
#include "tools/sample-sites/site_paths.hpp"

namespace quillreap::sample_sites {

std::vector<std::string> path_pieces(std::string_view target) {
  std::string_view path = target.substr(0, target.find('?'));
  std::vector<std::string> pieces;
  std::size_t at = 0;
  while (at < path.size()) {
    std::size_t slash = path.find('/', at);
    if (slash == std::string_view::npos) slash = path.size();
    if (slash > at) pieces.emplace_back(path.substr(at, slash - at));
    at = slash + 1;
  }
  if (!pieces.empty() && path.back() == '/') pieces.emplace_back();
  return pieces;
}

int chapter_number(std::string_view piece) {
  constexpr std::string_view kSuffix = ".html";
  if (piece.size() <= kSuffix.size() || piece.substr(piece.size() - kSuffix.size()) != kSuffix)
    return 0;
  std::string_view digits = piece.substr(0, piece.size() - kSuffix.size());
  if (digits.size() > 9) return 0;
  int n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

}  // namespace quillreap::sample_sites
