// The sources of a site, listed before any of its pages is written, and
// where the header names of their include directives lead: a quoted name
// from the including file's folder first, then any name from the site's top
// folders and from the include folders that lie inside one of them. A name
// leads only to a source of the same site, never out of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/file_system.h"
#include "engine/page_links.h"

namespace prismet {

class SiteFiles {
 public:
  // A top folder: its sources' folder as named, where its pages are in the
  // site ("/", or "/name/" for one of several in an output folder), and the
  // site it belongs to (tops of different sites never link). Returns its
  // number.
  std::size_t add_top(const std::string& source_path, std::string site_path, int site);
  // A source of the top, by its names below the top, joined by '/'.
  void add_file(std::size_t top, std::string_view relative_path);
  // The sources of one folder below the top ("" or "a/b/"), by name.
  void add_files(std::size_t top, std::string_view folder, const std::vector<std::string>& names);
  // Readies the files for link(): called once all are added.
  void finish();
  // An include folder; one outside every top folder leads nowhere.
  void add_include_folder(const std::string& path);

  // After finish(), from any thread: the URL of the page the header name
  // leads to, relative to the page of
  // a source of `top` in the folder `folder` below it ("" or "a/b/"); empty
  // when it leads to no source of the site. `name` is in the file system's
  // bytes; pages are named as their source with `page_extension` behind.
  std::string link(std::size_t top, std::string_view folder, std::string_view name, bool angled,
                   std::string_view page_extension) const;

  // The same for the page of a file named one by one, in the output
  // folder itself, whose source is in `source_folder` on the disk.
  std::string link_named(const std::string& source_folder, std::string_view name, bool angled,
                         std::string_view page_extension) const;

  // What the links depend on: a hash of the tops, the files and the include
  // folders, changed by any of them.
  std::uint64_t digest() const { return digest_; }

 private:
  struct Top {
    std::string source_path;
    std::string site_path;
    std::uint64_t hash = 0;  // of its number and '/', where its files' hashes begin
    int site = 0;
    bool stamped = false;
    FileStamp stamp;
  };
  struct IncludeFolder {
    std::size_t top = 0;
    std::string relative;  // "" or "a/b/"
  };
  // The source `path` below `top` names, as listed below the top; empty
  // when it is none of the site's.
  std::string find(std::size_t top, std::string_view path) const;
  // A name of the site's tops and include folders, in their order, for a
  // page of `site`: as listed, with the top it was found in.
  std::string find_in_site(int site, const std::string& name, std::size_t& found_top) const;
  // Not empty, and relative.
  static bool usable_name(const std::string& name);
  // The top a path on the disk lies in, by its folders' identities from the
  // path's own up, and the path below that top; false when it lies in none.
  bool place(const std::string& path, std::size_t& top, std::string& relative) const;
  void add_to_digest(std::string_view text);
  // The hash a file is known by: of the top's number and its path below
  // the top as the file system compares it, continued from `folder_hash`
  // (the hash of the top and its folder).
  std::uint64_t folder_hash(std::size_t top, std::string_view folder) const;
  static std::uint64_t continued_hash(std::uint64_t hash, std::string_view name);
  void add_hash(std::uint64_t hash, std::string_view key, std::string_view relative_path);

  std::vector<Top> tops_;
  // The files' hashes (sorted by finish()): eight bytes a source, however
  // long its path, and no allocation for each.
  std::vector<std::uint64_t> files_;
  // The path as listed, of a file whose path the file system compares
  // otherwise (Windows: one with capital letters), by its hash.
  std::unordered_map<std::uint64_t, std::string> listed_as_;
  std::vector<IncludeFolder> include_folders_;
  std::uint64_t digest_ = 0xcbf29ce484222325ull;
};

// What the include directives of one folder's pages lead to, kept by the
// thread that writes them with the same settings: a folder's pages include
// many of the same headers, each then looked up once. Only the folder being
// written is kept, so the cache never outgrows one folder's names. Took the
// include lookups from 9.4 M to 1.3 M instructions on the libstdc++
// headers (the include-links rows of bench/run.py, counted by callgrind).
class IncludeTargetCache {
 public:
  // The target kept for `name` in the folder, or null; a folder other than
  // the last one asked about forgets the last one's.
  const std::string* find(std::size_t top, std::string_view folder, std::string_view name, bool angled);
  // Keeps the target of the name last asked about.
  void keep(std::string target) { targets_.insert_or_assign(key_, std::move(target)); }

 private:
  bool used_ = false;
  std::size_t top_ = 0;
  std::string folder_;
  std::string key_;  // '<' or '"' and the name
  std::unordered_map<std::string, std::string> targets_;
};

// The links of one page: the header names of its include directives,
// given in the page's encoding, looked up as file names.
class SitePageLinks final : public PageLinks {
 public:
  // `cache`, when given, is the writing thread's (same site, same settings).
  SitePageLinks(const SiteFiles& site, std::size_t top, std::string_view folder,
                std::string_view page_extension, bool utf8_page, IncludeTargetCache* cache = nullptr)
      : site_(site),
        top_(top),
        folder_(folder),
        page_extension_(page_extension),
        utf8_page_(utf8_page),
        cache_(cache) {}
  // For the page of a file named one by one (SiteFiles::link_named).
  SitePageLinks(const SiteFiles& site, const std::string& source_folder, std::string_view page_extension,
                bool utf8_page)
      : site_(site),
        top_(0),
        named_folder_(&source_folder),
        page_extension_(page_extension),
        utf8_page_(utf8_page) {}
  std::string_view include_target(std::string_view name, bool angled) override;

 private:
  std::string look_up(std::string_view name, bool angled) const;
  const SiteFiles& site_;
  std::size_t top_;
  std::string_view folder_;
  const std::string* named_folder_ = nullptr;
  std::string_view page_extension_;
  bool utf8_page_;
  IncludeTargetCache* cache_ = nullptr;
  std::string target_;
};

}  // namespace prismet
