// The shared download: book page, index, chapters in index order, book file. Runs on the
// download worker; every report call is a request the interface thread carries out.
#include "download/book_download.hpp"

#include <algorithm>
#include <chrono>
#include <vector>

#include "download/book_names.hpp"
#include "download/pages_ahead.hpp"
#include "download/placeholder_chapters.hpp"
#include "download/request_pace.hpp"
#include "download/status_texts.hpp"
#include "http/retry.hpp"
#include "http/url.hpp"
#include "sites/page.hpp"
#include "sites/site_choice.hpp"
#include "text/markers.hpp"

namespace quillreap::download {
namespace {

// The retry policy with the site's tries, each try taken at the download's pace.
http::RetryPolicy paced_policy(const SiteConfig& config, RequestPace& pace) {
  http::RetryPolicy policy;
  policy.tries = config.tries;
  policy.timeouts = config.timeouts;
  policy.ca_file = config.ca_file;
  policy.around_try = [&pace](const auto& exchange) { return pace.request(exchange); };
  return policy;
}

// What every step of one download works with, reporting through Reporting: IndexReport for
// the book page and the index (all a check of the shelf implements), Report for the rest.
template <class Reporting>
struct Steps {
  const Text& book_name;
  Reporting& log_box;
  const SiteConfig& config;
  const SourcePages& pages;
  const DownloadControl& control;
  RequestPace& pace;

  // Runs on the worker and on the fetching threads.
  http::RetriedFetch fetch(const Text& address, std::stop_token stop) const {
    return http::fetch_with_retries(address, paced_policy(config, pace), std::move(stop));
  }
  // How a download that could not go on ended: stopped, or with nothing to write.
  BookOutcome lost() const {
    return control.stopped() ? BookOutcome::kStopped : BookOutcome::kNotWritten;
  }
};

using IndexFetch = Steps<IndexReport>;
using Download = Steps<Report>;

// The chapters an earlier download kept, and the addresses still to fetch.
struct StoredChapters {
  // One per link: whether the store holds it. Kept texts are read when their turn comes.
  std::vector<bool> held;
  std::vector<Text> to_fetch;
};

void report_failure(IndexReport& log_box, const Text& address, const http::RetriedFetch& fetched) {
  log_box.page_failed(address, http::failure_description(fetched.result), fetched.tries);
}

// The book page or the index, which the download cannot do without: nullopt when the
// download was stopped, or when the page could not be had (reported, and the status says
// no index was found).
std::optional<Text> needed_page(const IndexFetch& download, const Text& address) {
  const http::RetriedFetch fetched = download.fetch(address, download.control.request.stop);
  if (fetched.stopped) return std::nullopt;
  if (fetched.result.failed) {
    report_failure(download.log_box, address, fetched);
    download.log_box.set_status(no_index_line(download.book_name));
    return std::nullopt;
  }
  return download.pages.page_text(fetched.result);
}

// The book page and, through it, the index page; nullopt when the download ends there
// (stopped, a page not had, or a book the site marks as broken).
std::optional<Text> book_and_index(const IndexFetch& download, const Text& book_address,
                                   Text& index_address) {
  const std::optional<Text> book_page = needed_page(download, book_address);
  if (!book_page) return std::nullopt;
  // A broken book is refused before the log box is touched.
  if (download.pages.faulty_book(*book_page)) {
    download.log_box.set_status(kFaultyBook);
    return std::nullopt;
  }
  // The log box is the second half's: it clears it before the book goes in.
  download.log_box.set_status(found_line(download.book_name));
  text::do_events();
  index_address = download.pages.index_address(*book_page, book_address);
  if (download.pages.index_on_book_page()) return book_page;
  return needed_page(download, index_address);
}

// Every chapter's link in index order; empty (with the status line saying so) when the
// index lists none, or when the download ended before it.
std::vector<ChapterLink> chapter_links(const IndexFetch& download, const Text& book_address) {
  Text index_address;
  const std::optional<Text> index_page = book_and_index(download, book_address, index_address);
  if (!index_page) return {};
  download.log_box.set_status(parsing_line(download.book_name));
  const text::TextArray entries = download.pages.index_entries(*index_page);
  if (entries.empty()) {
    download.log_box.set_status(no_index_line(download.book_name));
    return {};
  }
  std::vector<ChapterLink> links;
  links.reserve(entries.size());
  for (const Text& entry : entries)
    links.push_back(download.pages.chapter_link(entry, index_address));
  return links;
}

// A chapter page an update's check fetched already; nullopt when none was.
std::optional<AheadPage> early_page(const DownloadControl& control, const Text& address) {
  if (!control.request.early_pages) return std::nullopt;
  const auto found = control.request.early_pages->find(address);
  if (found == control.request.early_pages->end()) return std::nullopt;
  return found->second;
}

// What an earlier download of this book kept is taken as it stands (unless take_kept is
// false: every chapter is fetched again); only the rest is fetched.
StoredChapters look_up_stored(ChapterStore& store, const std::vector<ChapterLink>& links,
                              Report& log_box, const DownloadControl& control, bool take_kept) {
  StoredChapters stored;
  stored.held.assign(links.size(), false);
  for (size_t i = 0; i < links.size(); ++i) {
    stored.held[i] = take_kept && store.holds(links[i].address, links[i].title);
    if (!stored.held[i] && !early_page(control, links[i].address))
      stored.to_fetch.push_back(links[i].address);
  }
  const int stored_count = static_cast<int>(links.size() - stored.to_fetch.size());
  if (stored_count > 0) log_box.set_status(from_store_line(stored_count));
  return stored;
}

// What became of one fetched chapter.
enum class Written { kLost, kText, kPlaceholder };

// A fetched chapter's text, cut and cleaned. A chapter the site splits over pages has its
// next pages fetched, up to the site's limit, and their texts joined before the cleaning;
// a next page that could not be had (or lost its text) loses the chapter, and its fetch
// takes the first page's place in fetched, to be reported.
std::optional<Text> chapter_of(const Text& address, const SiteConfig& config,
                               const SourcePages& pages, RequestPace& pace, std::stop_token stop,
                               http::RetriedFetch& fetched) {
  Text page = pages.page_text(fetched.result);
  std::optional<Text> joined = pages.cut_chapter(page);
  Text at = address;
  for (int n = 1; joined && n < pages.most_pages(); ++n) {
    Text next = pages.next_page(page, at);
    if (next.empty() || next == at) break;
    http::RetriedFetch more = http::fetch_with_retries(next, paced_policy(config, pace), stop);
    if (more.stopped || more.result.failed) {
      fetched = std::move(more);
      return std::nullopt;
    }
    page = pages.page_text(more.result);
    const std::optional<Text> piece = pages.cut_chapter(page);
    if (!piece) return std::nullopt;
    joined->append(*piece);
    at = std::move(next);
  }
  if (joined) *joined = pages.clean_chapter(std::move(*joined));
  return joined;
}

// A fetched chapter into the book and the store. One that could not be had keeps its
// heading, with no text, so the book's layout stays whole. A placeholder (the site has not
// typed the chapter yet) goes into the book but not into the store, so the next download
// fetches it again.
Written write_fetched(const Download& download, ChapterStore& store, const ChapterLink& link,
                      AheadPage page) {
  const http::RetriedFetch& fetched = page.fetched;
  if (fetched.result.failed) report_failure(download.log_box, link.address, fetched);
  const std::optional<Text> chapter =
      page.cut ? std::move(page.chapter)
               : download.pages.chapter_text(download.pages.page_text(fetched.result));
  if (download.control.results.chapters)
    download.control.results.chapters->chapter(link.title, chapter ? &*chapter : nullptr);
  if (!chapter) return Written::kLost;
  const bool placeholder = looks_like_placeholder(*chapter);
  if (!placeholder) store.keep(link.address, link.title, *chapter);
  download.log_box.append_log(*chapter);
  return placeholder ? Written::kPlaceholder : Written::kText;
}

// A chapter the store holds, into the book; false when the store's file changed under the
// download and no longer holds it, so that it must be fetched after all.
bool write_kept(const Download& download, ChapterStore& store, const ChapterLink& link) {
  const std::optional<Text> kept = store.read(link.address, link.title);
  if (!kept) return false;
  download.log_box.append_log(*kept);
  if (download.control.results.chapters)
    download.control.results.chapters->chapter(link.title, &*kept);
  return true;
}

struct ChaptersWritten {
  int lost = 0;
  int placeholders = 0;  // written into the book, kept out of the store
};

// Every chapter in index order into the log box; nullopt when the download was stopped.
std::optional<ChaptersWritten> write_chapters(const Download& download, ChapterStore& store,
                                              const std::vector<ChapterLink>& links,
                                              StoredChapters stored) {
  // The pages to fetch come back in index order, a few fetched ahead of the one written,
  // each with its chapter text already cut out on the thread that fetched it.
  PagesAhead ahead(
      std::move(stored.to_fetch),
      [&download](const Text& address, std::stop_token stop) {
        return fetch_chapter(address, download.config, download.pages, download.pace,
                             std::move(stop));
      },
      download.config.connections, download.control.request.stop);
  // Said on this thread, once for each lowering seen, between the chapters' status lines.
  const auto tell_lowering = [&] {
    if (const std::optional<int> lowered = download.pace.lowered_since_asked())
      download.log_box.slowed_down(*lowered);
  };
  ChapterProgress progress{0, static_cast<int>(links.size()), 0, 0};
  ProgressPace progress_pace;
  const auto tell_progress = [&] {
    if (progress_pace.due(progress)) download.log_box.chapters_progress(progress);
  };
  tell_progress();
  for (size_t i = 0; i < links.size(); ++i) {
    // The first chapter tells roughly how big the book gets: room for all of them (and a
    // quarter more) at once spares the log box copying itself each time it doubles.
    if (i == 1) download.log_box.expect_log_growth(links.size() + links.size() / 4);
    text::do_events();
    if (download.control.stopped()) return std::nullopt;
    const ChapterLink& link = links[i];
    tell_lowering();
    download.log_box.set_status(chapter_line(link.title));
    download.log_box.append_log(text::concat("\r\n\r\n", link.title, "\r\n\r\n"));
    Written result = Written::kText;
    if (!stored.held[i] || !write_kept(download, store, link)) {
      std::optional<AheadPage> page = early_page(download.control, link.address);
      if (!page) {
        page = stored.held[i] ? fetch_chapter(link.address, download.config, download.pages,
                                              download.pace, download.control.request.stop)
                              : ahead.next();
      }
      if (!page || page->fetched.stopped || download.control.stopped()) return std::nullopt;
      result = write_fetched(download, store, link, std::move(*page));
    }
    ++progress.done;
    if (result == Written::kLost) ++progress.lost;
    if (result == Written::kPlaceholder) ++progress.placeholders;
    tell_progress();
  }
  tell_lowering();
  return ChaptersWritten{progress.lost, progress.placeholders};
}

}  // namespace

std::unique_ptr<RequestPace> site_pace(const SiteConfig& config, std::stop_token stop) {
  // Every try of every page goes through the pace: a pause between the requests of each
  // connection, and fewer connections once the site says it is busy.
  return std::make_unique<RequestPace>(
      std::clamp(config.connections, 1, AheadWindow::kMostConnections), config.request_pause_ms,
      std::move(stop));
}

SitePaces::SitePaces(const SiteConfig& config, std::stop_token stop)
    : config_(config), stop_(std::move(stop)) {}

RequestPace& SitePaces::of(const Text& book_address) {
  const Text site = http::split_url(book_address, true);
  std::lock_guard lock(mutex_);
  std::unique_ptr<RequestPace>& pace = paces_[site];
  if (!pace) pace = site_pace(config_, stop_);
  return *pace;
}

AheadPage fetch_chapter(const Text& address, const SiteConfig& config, const SourcePages& pages,
                        RequestPace& pace, std::stop_token stop) {
  AheadPage page{http::fetch_with_retries(address, paced_policy(config, pace), std::move(stop)),
                 false, std::nullopt};
  if (page.fetched.stopped) return page;
  page.cut = true;
  page.chapter = chapter_of(address, config, pages, pace, stop, page.fetched);
  if (page.fetched.stopped) return page;
  http::Bytes().swap(page.fetched.result.body);  // not needed any more: memory back now
  return page;
}

std::vector<ChapterLink> fetch_chapter_links(const Text& book_address, const Text& book_name,
                                             IndexReport& log_box, const SiteConfig& config,
                                             const SourcePages& pages, RequestPace& pace,
                                             const DownloadControl& control) {
  const IndexFetch download{book_name, log_box, config, pages, control, pace};
  return chapter_links(download, book_address);
}

namespace {

// The part of the index a download with a range takes; none when the range starts past
// the last chapter, which the status line then says.
std::optional<books::BookPart> part_of_index(const ChapterRange& range, int chapters,
                                             const Text& book_name, Report& log_box) {
  std::optional<books::BookPart> part = part_of(range, chapters);
  if (!part) log_box.set_status(past_last_chapter_line(book_name, chapters, range.first));
  return part;
}

// The record comes last, once every book file is in place, and names the formats written:
// a run killed before it leaves the record of the books as they were, and a format that
// could not be written is written again at the next update. The shelf lists whole books
// only.
void keep_book_record(ChapterStore& store, const Text& book_name, const DownloadControl& control,
                      const WrittenBooks& wrote, int chapters, const books::BookFiles& book_files,
                      const Text& site_id) {
  if (!control.request.shelf || control.request.range || !(wrote.text_book || wrote.second)) return;
  const auto now = std::chrono::system_clock::now().time_since_epoch();
  BookRecord record;
  record.name = book_name;
  record.introduction = control.request.shelf->introduction;
  record.author = control.request.shelf->author;
  record.text_book = control.request.text_book;
  record.epub = control.results.chapters != nullptr;
  record.chapters = chapters;
  record.written_at = std::chrono::duration_cast<std::chrono::seconds>(now).count();
  record.text_book_unwritten = control.request.text_book && !wrote.text_book;
  record.epub_unwritten = control.results.chapters && !wrote.second;
  if (book_files.file_name() != book_name) record.file_name = book_files.file_name();
  record.site = site_id;
  store.keep_book(record);
}

}  // namespace

BookOutcome write_book(const std::vector<ChapterLink>& index, const Text& book_address,
                       const Text& book_name, Report& log_box, const SiteConfig& config,
                       const Text& directory, const SourcePages& pages, RequestPace& pace,
                       const DownloadControl& control) {
  const Download download{book_name, log_box, config, pages, control, pace};
  if (index.empty()) return download.lost();
  // A part takes its run of the index and goes by its own name.
  std::vector<ChapterLink> part_links;
  Text saved_name = book_name;
  std::optional<books::BookPart> part;
  if (control.request.range) {
    part =
        part_of_index(*control.request.range, static_cast<int>(index.size()), book_name, log_box);
    if (!part) return BookOutcome::kNotWritten;
    part_links.assign(index.begin() + (part->first - 1), index.begin() + part->last);
    saved_name = books::part_name(book_name, *part);
    if (control.results.part) *control.results.part = *part;
  }
  const std::vector<ChapterLink>& links = control.request.range ? part_links : index;
  // Links fetched earlier (an update's check) come without the clearing the book page's
  // arrival does: the log box may still hold the book written before.
  log_box.log_clear();
  log_box.append_log(text::concat(book_name, "\r\n\r\n"));

  // A part fetched afresh adds its chapters to the store without starting the store again,
  // which would drop the rest of the book.
  const bool fresh_part =
      control.request.range && control.request.store == ChapterStore::Mode::kFresh;
  ChapterStore store(directory, book_address,
                     fresh_part ? ChapterStore::Mode::kUse : control.request.store);
  if (!store.problem().empty()) log_box.store_not_used(store.path(), store.problem());
  // The files keep the name the book's last download gave them; a book new to the folder
  // does not take the files of another book of its name.
  const books::BookFiles book_files = book_files_for(
      directory, book_address, book_name, store.book(), sites::site_caption(pages.site()));
  const books::BookFiles files = part ? book_files.part(*part) : book_files;
  StoredChapters stored = look_up_stored(store, links, log_box, control, !fresh_part);
  const std::optional<ChaptersWritten> written =
      write_chapters(download, store, links, std::move(stored));
  if (!written || control.stopped()) return BookOutcome::kStopped;
  if (control.results.chapters)
    control.results.chapters->chapters_end(files, part ? &*part : nullptr);
  // Said before the completion line, which stays the download's last word.
  if (written->placeholders > 0) log_box.placeholder_chapters(written->placeholders);
  WrittenBooks wrote;
  wrote.files = files;
  const BookOutcome outcome =
      control.request.text_book
          ? save_book(log_box, files, saved_name, written->lost, &wrote.text_book_failure)
      : written->lost > 0 ? BookOutcome::kWrittenWithGaps
                          : BookOutcome::kComplete;
  wrote.text_book = control.request.text_book && outcome != BookOutcome::kNotWritten;
  wrote.second = control.results.chapters && control.results.chapters->finish_book();
  keep_book_record(store, book_name, control, wrote, static_cast<int>(links.size()), book_files,
                   pages.site().id);
  if (control.results.written) *control.results.written = std::move(wrote);
  return outcome;
}

BookOutcome download_book(const Text& book_address, const Text& book_name, Report& log_box,
                          const SiteConfig& config, const Text& directory, const SourcePages& pages,
                          const DownloadControl& control) {
  const std::unique_ptr<RequestPace> pace = site_pace(config, control.request.stop);
  const std::vector<ChapterLink> links =
      fetch_chapter_links(book_address, book_name, log_box, config, pages, *pace, control);
  return write_book(links, book_address, book_name, log_box, config, directory, pages, *pace,
                    control);
}

}  // namespace quillreap::download
