// The names of a site's pages in one script at the site's root, which
// every index of a site with navigation loads for its search box: it sets
// the global `prismetSite` ({extension, files}) and then makes the box find
// pages by any part of their path. The file is ASCII whatever the names'
// encoding (other characters written as "\uXXXX"), so it reads the same
// beside pages in UTF-8 and in Shift_JIS.
//
// Each page is its path from the root as a string ("a/b/x.cpp"), its link
// being each name of the path URL-encoded and the extension behind; a page
// whose link cannot be had so (a name that is not UTF-8, or a page named
// otherwise) is a pair [path, link].
#pragma once

#include <string>
#include <string_view>

namespace prismet {

inline constexpr char kSiteNamesName[] = "prismet-files.js";

// Appends `name` (UTF-8 as file_name_as_utf8 gives it) as the inside of a
// JavaScript string: ASCII only, with '"', '\\', '<', '>' and control
// characters escaped, so that no name ends the string or a script element.
// A byte that begins no well-formed sequence becomes U+FFFD. False when
// there was such a byte.
bool append_script_text(std::string& out, std::string_view name);

// A folder's path from the site's root, as script text and as a relative
// URL, each with "/" behind (both empty at the root).
struct SiteNamesFolder {
  std::string text;
  std::string url;
};

// The place of the folder `name` in `parent`.
SiteNamesFolder site_names_folder(const SiteNamesFolder& parent, std::string_view name);

// Appends the page `page_name`, made from `source_name` in `folder`, to a
// site's list (one line each).
void append_site_name(std::string& list, const SiteNamesFolder& folder, std::string_view source_name,
                      std::string_view page_name, std::string_view extension);

// The script of a site's list in three pieces, its pages' extension given:
// what comes before the list, and after it (so that a long list is never
// copied to be written or compared); and the whole of it.
std::string site_names_head(std::string_view extension);
std::string_view site_names_tail();
std::string site_names_script(std::string_view list, std::string_view extension);

// How many bytes from its start tell a script site_names_script made from
// any other file, and whether `head` (up to that many bytes) begins so.
inline constexpr std::size_t kSiteNamesHeadSize = 32;
bool begins_like_site_names(std::string_view head);

}  // namespace prismet
