// The index page of one output folder of a tree conversion: a complete
// HTML5 document that links the folder's sub-folders and pages (each with
// its source's size and line count) and the folder above. Its links are
// relative, so the site can be moved or served from any folder. At its end
// a comment keeps what each page was made from, so that a later run can
// tell which pages are still current; the same comment marks the file as
// one this program made, so an index.html of anyone else is never replaced.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/file_system.h"

namespace prismet {

// The page size of a record that holds none (one of an older index, or of a
// page whose size could not be had after it was written): no page is ever
// taken for current with it.
inline constexpr std::uint64_t kUnknownPageSize = UINT64_MAX;

// What a page was made from: the fingerprint of the run's settings,
// vocabulary and insert files and the source's stamp; the source's line
// count, for the index; and the page's size as it was written, so that a
// page cut short or grown since is made again.
struct PageRecord {
  std::uint64_t fingerprint = 0;
  FileStamp source;
  std::uint64_t lines = 0;
  std::uint64_t page_size = 0;
  bool operator==(const PageRecord&) const = default;
};

using PageRecords = std::unordered_map<std::string, PageRecord>;  // by url_of_name(page name)

struct IndexPage {
  std::string source_name;  // file names, as the file system gives them
  std::string page_name;
  PageRecord record;
};

struct IndexFolder {
  std::string name;
  std::uint64_t files = 0;  // pages in it and below it
  std::uint64_t bytes = 0;  // their sources' sizes
  std::uint64_t lines = 0;  // their sources' lines (shown with site navigation)
};

struct FolderIndex {
  std::string site_path;    // "/" for the site's top, else "/a/b/"
  bool utf8 = true;         // the document's encoding: UTF-8, else Shift_JIS
  bool has_parent = false;  // a link to "../index.html"
  std::vector<IndexFolder> folders;
  std::vector<IndexPage> pages;
  // With site navigation (site_navigation.h): the index is rendered by
  // render_navigation_index, its site's root titled `root_name`.
  bool navigation = false;
  std::string root_name;
  // With cross-references (symbol_pages.h): a link to the site's symbol
  // index and, with navigation, a search box that finds names as well.
  bool cross_references = false;
};

inline constexpr char kIndexName[] = "index.html";

// The whole document.
std::string render_index(const FolderIndex& index);

// An index's document up to its body: the opening, the encoding, the
// generator, `title` and `style`, then "<body>".
std::string index_document_head(const std::string& title, bool utf8, const char* style);

// Appends the comment with the index's records that render_index ends with.
void append_index_records(std::string& out, const FolderIndex& index);

// The records an index made by render_index keeps. False when the bytes are
// not such an index (another file of that name); `records` then stays empty.
bool read_index_records(std::string_view bytes, PageRecords& records);

// How many bytes from its start tell an index render_index made from any
// other file of that name, and whether `head` (a file's first bytes, up to
// that many; fewer only when the file is shorter) begins as those indexes
// do. A file that does not is not read any further, however large.
inline constexpr std::size_t kIndexHeadSize = 512;
bool begins_like_index(std::string_view head);

// An index that begins like ours but is larger than this (some hundreds of
// thousands of pages in one folder) is not read: it counts as holding no
// records, so its pages are made again and it is written anew.
inline constexpr std::uint64_t kMaxIndexSize = 256u << 20;

// A file name as a link's relative URL: its UTF-8 bytes (see
// file_name_as_utf8) with every byte outside letters, digits and "-._~"
// written as "%XX".
std::string url_of_name(std::string_view name);

// The link of an index at `site_path` to its site's symbol index, a
// paragraph of its own.
std::string symbol_index_link(const std::string& site_path);

// The site path as the pages' "{{index}}" shows it: a link to the folder's
// index, or empty for a page outside any site.
std::string index_link(const std::string& site_path, bool utf8);

}  // namespace prismet
