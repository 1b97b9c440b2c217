// Reading the site files at start: 200 files in a folder (the two built-in files under 100
// ids each, as a user's collection of sites would look), each read, parsed and made into a
// site with its values filled in, as the program does. Target: under 50 ms for all 200.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "sites/builtin_sites.hpp"
#include "sites/site_choice.hpp"
#include "sites/site_folder.hpp"

namespace quillreap::bench {
namespace {

constexpr int kFiles = 200;

// A folder of kFiles site files, removed afterwards.
class SitesFolder {
 public:
  SitesFolder() {
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("quillreap-bench-sites-" + std::to_string(random()));
    std::filesystem::create_directories(path_);
    const auto builtin = sites::builtin_site_files();
    for (int n = 0; n < kFiles; ++n) {
      std::string text(builtin[n % builtin.size()].text);
      const std::string id = "\"id\": \"";
      text.insert(text.find(id) + id.size(), "site" + std::to_string(n) + "_");
      std::ofstream(path_ / ("site" + std::to_string(n) + ".json"), std::ios::binary) << text;
    }
  }
  ~SitesFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void read_at_start(benchmark::State& state) {
  const SitesFolder folder;
  std::size_t read = 0;
  for (auto _ : state) {
    // As the program starts: the folder read into the settings and the source box's items;
    // then one search's site, which makes every user site once.
    sites::SiteConfig config = sites::SiteConfig::defaults();
    const std::vector<text::Text> reasons =
        sites::take_site_folder(config, folder.path().generic_string());
    const std::vector<text::Text> choices = sites::site_choices(config);
    const sites::SourcePages last =
        sites::pages_for_choice(static_cast<int>(choices.size()) - 1, config);
    read = reasons.empty() ? config.site_files.size() : 0;
    benchmark::DoNotOptimize(last.site().host.data());
  }
  if (read != kFiles) state.SkipWithError("not every file read");
  state.counters["files"] = static_cast<double>(read);
}
BENCHMARK(read_at_start)->Name("site_files/read_200_at_start")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quillreap::bench
