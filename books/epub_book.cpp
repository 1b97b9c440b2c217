// Writes the EPUB beside the download: the download worker hands each chapter over, and the
// book's thread deflates its files into the temporary file; only the navigation entries
// stay in memory.
#include "books/epub_book.hpp"

#include <cstdio>

#include "books/book_file.hpp"
#include "books/epub_text.hpp"
#include "text/cp936.hpp"
#include "text/files.hpp"

namespace quillreap::books {
namespace {

constexpr std::string_view kFolder = "EPUB/";
constexpr std::string_view kContents = "\xE7\x9B\xAE\xE5\xBD\x95";  // 目录, UTF-8

constexpr std::string_view kContainer =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<container version=\"1.0\" xmlns=\"urn:oasis:names:tc:opendocument:xmlns:container\">\n"
    "<rootfiles>\n"
    "<rootfile full-path=\"EPUB/package.opf\" media-type=\"application/oebps-package+xml\"/>\n"
    "</rootfiles>\n"
    "</container>\n";

// The indent is left to the reader's font size; no font is named, so the reader's own
// Chinese font is used.
constexpr std::string_view kStylesheet =
    "p { text-indent: 2em; margin: 0.3em 0; }\n"
    "h1, h2 { text-align: center; }\n"
    "p.author { text-indent: 0; text-align: center; }\n";

std::string xhtml_head(std::string_view title) {
  return text::concat(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE html>\n"
      "<html xmlns=\"http://www.w3.org/1999/xhtml\" xmlns:epub=\"http://www.idpf.org/2007/ops\""
      " xml:lang=\"zh-CN\" lang=\"zh-CN\">\n<head>\n<title>",
      title,
      "</title>\n<link rel=\"stylesheet\" type=\"text/css\" "
      "href=\"style.css\"/>\n</head>\n<body>\n");
}
constexpr std::string_view kXhtmlTail = "</body>\n</html>\n";

std::string chapter_file(std::size_t number, std::size_t part) {
  char name[40];
  if (part == 0) {
    std::snprintf(name, sizeof name, "c%05zu.xhtml", number);
  } else {
    std::snprintf(name, sizeof name, "c%05zu-%zu.xhtml", number, part + 1);
  }
  return name;
}

// A manifest id for a file: its name without ".xhtml", which starts with a letter.
std::string id_of(const std::string& file) {
  return file.substr(0, file.find('.'));
}

// The metadata's texts, without the spaces around them.
Text known(const Text& value) {
  return text::trim_spaces(value);
}

}  // namespace

EpubBook::EpubBook(const Text& directory, EpubDetails details, std::int64_t seconds)
    : path_(BookFiles(directory, details.book_name).epub()),
      temporary_(BookFiles::temporary(path_)),
      details_(std::move(details)),
      identifier_("urn:uuid:" + url_uuid(text::cp936_to_utf8(details_.book_address))) {
  details_.author = known(details_.author);
  details_.introduction = known(details_.introduction);
  const std::chrono::sys_seconds moment{std::chrono::seconds{seconds}};
  modified_ = w3c_time(moment);
  zip_ = std::make_unique<ZipWriter>(temporary_, zip_time(moment));
  // First and stored, with no extra field: readers find the type at a fixed offset.
  zip_->add("mimetype", "application/epub+zip", false);
  queue_.emplace([this](std::string_view title, const Text* text) { write_chapter(title, text); });
}

void EpubBook::chapters_end(const BookFiles& files, const BookPart* part) {
  path_ = files.epub();
  if (part) {
    details_.book_name = part_name(details_.book_name, *part);
    identifier_ =
        "urn:uuid:" + url_uuid(text::cp936_to_utf8(text::concat(
                          details_.book_address, "#chapters=", std::to_string(part->first), "-",
                          std::to_string(part->last))));
  }
  // The names above are set before the book's thread is told, so it reads them whole.
  queue_->close([this] { write_end(); });
}

EpubBook::~EpubBook() {
  queue_.reset();  // the book's thread ends before what it writes goes
  if (!finished_) {
    zip_.reset();
    text::remove_file(temporary_);
  }
}

void EpubBook::add_document(const std::string& name, const std::string& body) {
  zip_->add(text::concat(kFolder, name), body);
}

void EpubBook::chapter(std::string_view title, const Text* text) {
  if (!text) ++lost_;
  queue_->chapter(title, text);
}

void EpubBook::write_chapter(std::string_view title, const Text* text) {
  if (!zip_->ok()) return;  // the book cannot be written any more: spare the work
  const std::size_t number = chapters_.size() + 1;
  const std::string heading = xml_text(title);
  // The navigation needs some text for every entry; a chapter with no title is its number.
  const std::string label = heading.empty() ? std::to_string(number) : heading;
  const std::string head = xhtml_head(label);
  const std::string first_head = text::concat(head, "<h2>", heading, "</h2>\n");
  const std::size_t overhead = first_head.size() + kXhtmlTail.size();
  const std::size_t budget = overhead < kMostChapterFileBytes / 2 ? kMostChapterFileBytes - overhead
                                                                  : kMostChapterFileBytes / 2;
  const ParagraphLines lines = text ? xml_paragraphs(*text) : ParagraphLines{};
  std::size_t start = 0;
  const std::vector<std::size_t> files = split_paragraphs(lines, budget);
  for (std::size_t part = 0; part < files.size(); ++part) {
    const std::string_view paragraphs(lines.markup.data() + start, files[part] - start);
    start = files[part];
    const std::string file = chapter_file(number, part);
    add_document(file, text::concat(part == 0 ? first_head : head, paragraphs, kXhtmlTail));
    spine_files_.push_back(file);
  }
  chapters_.push_back({chapter_file(number, 0), label});
}

std::string EpubBook::package_document() const {
  std::string opf = text::concat(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<package xmlns=\"http://www.idpf.org/2007/opf\" version=\"3.0\" "
      "unique-identifier=\"book-id\" xml:lang=\"zh-CN\">\n"
      "<metadata xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
      "<dc:identifier id=\"book-id\">",
      identifier_, "</dc:identifier>\n<dc:title>", book_title(),
      "</dc:title>\n<dc:language>zh-CN</dc:language>\n");
  if (!details_.author.empty())
    opf += text::concat("<dc:creator>", xml_text(details_.author), "</dc:creator>\n");
  if (!details_.introduction.empty())
    opf += text::concat("<dc:description>", xml_text(details_.introduction), "</dc:description>\n");
  opf +=
      text::concat("<meta property=\"dcterms:modified\">", modified_,
                   "</meta>\n</metadata>\n<manifest>\n"
                   "<item id=\"nav\" href=\"nav.xhtml\" media-type=\"application/xhtml+xml\" "
                   "properties=\"nav\"/>\n"
                   "<item id=\"ncx\" href=\"toc.ncx\" media-type=\"application/x-dtbncx+xml\"/>\n"
                   "<item id=\"css\" href=\"style.css\" media-type=\"text/css\"/>\n"
                   "<item id=\"title-page\" href=\"title.xhtml\" "
                   "media-type=\"application/xhtml+xml\"/>\n");
  for (const std::string& file : spine_files_)
    opf += text::concat("<item id=\"", id_of(file), "\" href=\"", file,
                        "\" media-type=\"application/xhtml+xml\"/>\n");
  opf += "</manifest>\n<spine toc=\"ncx\">\n<itemref idref=\"title-page\"/>\n";
  for (const std::string& file : spine_files_)
    opf += text::concat("<itemref idref=\"", id_of(file), "\"/>\n");
  opf += "</spine>\n</package>\n";
  return opf;
}

std::string EpubBook::navigation() const {
  std::string nav = text::concat(xhtml_head(kContents), "<nav epub:type=\"toc\" id=\"toc\">\n<h1>",
                                 kContents, "</h1>\n<ol>\n");
  for (const NavEntry& entry : chapters_)
    nav += text::concat("<li><a href=\"", entry.file, "\">", entry.title, "</a></li>\n");
  // An empty list is invalid; a book with no chapter still lists its title page.
  if (chapters_.empty())
    nav += text::concat("<li><a href=\"title.xhtml\">", book_title(), "</a></li>\n");
  nav += text::concat("</ol>\n</nav>\n", kXhtmlTail);
  return nav;
}

std::string EpubBook::ncx() const {
  // EPUB 2's table of contents, for readers that know no navigation document; an NCX has
  // no DOCTYPE here, which some readers choke on.
  std::string ncx = text::concat(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<ncx xmlns=\"http://www.daisy.org/z3986/2005/ncx/\" version=\"2005-1\" xml:lang=\"zh-CN\">\n"
      "<head>\n<meta name=\"dtb:uid\" content=\"",
      identifier_,
      "\"/>\n<meta name=\"dtb:depth\" content=\"1\"/>\n"
      "<meta name=\"dtb:totalPageCount\" content=\"0\"/>\n"
      "<meta name=\"dtb:maxPageNumber\" content=\"0\"/>\n</head>\n<docTitle><text>",
      book_title(), "</text></docTitle>\n<navMap>\n");
  const auto point = [&](std::size_t order, std::string_view label, std::string_view file) {
    const std::string number = std::to_string(order);
    ncx +=
        text::concat("<navPoint id=\"p", number, "\" playOrder=\"", number, "\"><navLabel><text>",
                     label, "</text></navLabel><content src=\"", file, "\"/></navPoint>\n");
  };
  for (std::size_t i = 0; i < chapters_.size(); ++i)
    point(i + 1, chapters_[i].title, chapters_[i].file);
  if (chapters_.empty()) point(1, book_title(), "title.xhtml");
  ncx += "</navMap>\n</ncx>\n";
  return ncx;
}

std::string EpubBook::title_page() const {
  std::string page = text::concat(xhtml_head(book_title()), "<h1>", book_title(), "</h1>\n");
  if (!details_.author.empty())
    page += text::concat("<p class=\"author\">", xml_text(details_.author), "</p>\n");
  return page + std::string(kXhtmlTail);
}

std::string EpubBook::book_title() const {
  const std::string title = xml_text(details_.book_name);
  return title.empty() ? "?" : title;
}

void EpubBook::write_end() {
  zip_->add("META-INF/container.xml", kContainer);
  add_document("style.css", std::string(kStylesheet));
  add_document("title.xhtml", title_page());
  add_document("nav.xhtml", navigation());
  add_document("toc.ncx", ncx());
  add_document("package.opf", package_document());
  zip_->finish();
  end_written_ = true;
}

bool EpubBook::finish() {
  if (written_) return *written_;
  queue_->finish();
  queue_.reset();
  if (!end_written_) write_end();
  const bool written = zip_->ok();
  zip_.reset();
  if (!written || !text::replace_file(temporary_, path_)) {
    text::remove_file(temporary_);
    failure_ = written ? not_moved_into_place(path_) : temporary_not_written(temporary_);
    written_ = false;
    return false;
  }
  finished_ = true;
  written_ = true;
  return true;
}

}  // namespace quillreap::books
