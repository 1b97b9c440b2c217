// Reading a folder of site files. Two files of one id: the first by name stands.
#include "sites/site_folder.hpp"

#include <algorithm>

#include "sites/json_fields.hpp"
#include "sites/site_file.hpp"
#include "sites/status_texts.hpp"
#include "text/files.hpp"

namespace quillreap::sites {
namespace {

bool is_site_file(const Text& name) {
  return name.size() > 5 && text::to_lower(name.substr(name.size() - 5)) == ".json";
}

}  // namespace

SiteFolder read_site_folder(const Text& directory) {
  SiteFolder folder;
  std::vector<Text> names = text::list_files(directory);
  std::erase_if(names, [](const Text& name) { return !is_site_file(name); });
  std::sort(names.begin(), names.end());
  for (const Text& name : names) {
    const Text path = text::join_path(directory, name);
    text::FileProblem problem = text::FileProblem::kNone;
    const std::optional<text::Bytes> bytes = text::read_file(path, &problem);
    if (!bytes) {
      folder.reasons.push_back(text::concat(path, ": ", text::describe(problem)));
      continue;
    }
    try {
      Site site = read_site_file(
          std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()), path);
      const auto same = std::find_if(folder.sites.begin(), folder.sites.end(),
                                     [&](const Site& read) { return read.id == site.id; });
      if (same != folder.sites.end()) {
        folder.reasons.push_back(
            text::concat(path, ": \"id\": ", site.id, " is already the id of ", same->file));
        continue;
      }
      folder.sites.push_back(std::move(site));
    } catch (const SiteFileError& mistake) {
      folder.reasons.push_back(mistake.what());
    }
  }
  return folder;
}

std::vector<Text> take_site_folder(SiteConfig& config, const Text& directory) {
  SiteFolder folder = read_site_folder(directory);
  use_site_files(config, std::move(folder.sites));
  return std::move(folder.reasons);
}

Text site_folder_line(const std::vector<Text>& reasons) {
  if (reasons.empty()) return {};
  if (reasons.size() == 1) return text::concat(kSiteFileWrong, reasons.front());
  return text::concat(kSiteFileWrong, reasons.front(), " (and ", std::to_string(reasons.size() - 1),
                      reasons.size() == 2 ? " more file)" : " more files)");
}

}  // namespace quillreap::sites
