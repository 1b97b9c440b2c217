// utf8_to_ansi of a 1 MB UTF-8 page, as the source 1 search converts the site-search
// service's result page: one buffer in, one GBK text out.
#include <benchmark/benchmark.h>

#include "bench/inputs.hpp"
#include "text/codepage.hpp"

namespace quillreap::bench {
namespace {

void utf8_to_ansi(benchmark::State& state) {
  const std::string page = utf8_page(1'000'000, sites::SiteConfig::defaults());
  const text::Bytes body(page.begin(), page.end());
  std::size_t length = 0;
  for (auto _ : state) {
    Text out = text::utf8_to_ansi(body);
    length = out.size();
    benchmark::DoNotOptimize(out);
  }
  if (length == 0) state.SkipWithError("nothing converted");
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(body.size()));
}
BENCHMARK(utf8_to_ansi)->Name("utf8_to_ansi/1000000")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace quillreap::bench
