// Choosing a site. The built-in two come first, whether a user's file replaced them or not;
// then the users' own sites, in the order their files were read.
#include "sites/site_choice.hpp"

#include "sites/builtin_sites.hpp"
#include "sites/site_file.hpp"
#include "text/markers.hpp"

namespace quillreap::sites {
namespace {

bool is_builtin(const Site& site) {
  return site.id == kSource1Id || site.id == kSource2Id;
}

// The users' own sites, made: their hosts are their files', the site-search service the
// build's.
std::vector<Site> user_sites(const SiteConfig& config) {
  SiteSettings settings;
  settings.values["search_host"] = config.search_host;
  settings.values["search_id"] = config.search_id;
  std::vector<Site> made;
  for (const Site& file : config.site_files)
    if (!is_builtin(file)) made.push_back(make_site(file, settings));
  return made;
}

bool holds(const Text& address, const Text& mark) {
  return !mark.empty() && text::find_text(address, mark) > -1;
}

}  // namespace

std::vector<Text> site_choices(const SiteConfig& config) {
  std::vector<Text> choices{"\xD4\xB4\xD5\xBE\xA2\xD9",   // 源站①
                            "\xD4\xB4\xD5\xBE\xA2\xDA"};  // 源站②
  for (const Site& file : config.site_files)
    if (!is_builtin(file)) choices.push_back(file.name);
  return choices;
}

SourcePages pages_for_choice(int choice, const SiteConfig& config) {
  if (choice == 0) return builtin_pages(kSource1Id, config);
  std::vector<Site> users = user_sites(config);
  const std::size_t user = static_cast<std::size_t>(choice) - 2;
  if (choice >= 2 && user < users.size()) return SourcePages(std::move(users[user]));
  return builtin_pages(kSource2Id, config);
}

std::optional<int> choice_of_site(std::string_view id, const SiteConfig& config) {
  if (id == kSource1Id) return 0;
  if (id == kSource2Id) return 1;
  int choice = 2;
  for (const Site& file : config.site_files) {
    if (is_builtin(file)) continue;
    if (file.id == id) return choice;
    ++choice;
  }
  return std::nullopt;
}

SourcePages pages_for_address(const Text& book_address, const SiteConfig& config) {
  if (belongs_to_source2(book_address, config)) return builtin_pages(kSource2Id, config);
  for (Site& site : user_sites(config))
    if (holds(book_address, site.host) || holds(book_address, site.label))
      return SourcePages(std::move(site));
  return builtin_pages(kSource1Id, config);
}

SourcePages pages_for_book(const Text& book_address, const Text& site_id,
                           const SiteConfig& config) {
  if (const std::optional<int> choice = choice_of_site(site_id, config))
    return pages_for_choice(*choice, config);
  return pages_for_address(book_address, config);
}

Text site_caption(const Site& site) {
  if (site.id == kSource1Id) return "\xD4\xB4\xD5\xBE\xA2\xD9";  // 源站①
  if (site.id == kSource2Id) return "\xD4\xB4\xD5\xBE\xA2\xDA";  // 源站②
  return site.name;
}

}  // namespace quillreap::sites
