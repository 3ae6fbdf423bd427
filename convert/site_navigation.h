// The navigable form of a site's indexes and pages, where the settings ask
// for it: the trail of folders from the site's root (breadcrumbs), each a
// link to its index, on every page and as every index's heading; the root
// titled after its tree's folder; sizes people read; a column for each
// count; and a search box over the names of the site's pages.
//
// Stable hooks for styles and scripts: the pages' trail is
// `nav.prismet-nav.prismet-breadcrumbs`; an index's heading is
// `h1.prismet-breadcrumbs`, its table `table.prismet-index` (columns Name,
// Files, Lines, Size; a size's exact byte count in the cell's title), its
// search box `input#prismet-search` and the list of what it finds
// `ol#prismet-found`.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "convert/site_index.h"

namespace prismet {

// A size as people read it: bytes below 1 KB ("512 B"), else one decimal
// of the largest unit of 1024 that gives at least 1 ("12.3 KB", "1.6 MB").
std::string readable_size(std::uint64_t bytes);

// The name a site's root is titled by: the last name of `path` made full
// (so that "." names its folder), or the path itself where it has none.
std::string site_root_name(const std::string& path);

// The trail of a page in the folder at `site_path` ("/" or "/a/b/") of the
// site whose root is named `root_name`: each folder a link to its index.
// It is the pages' "{{index}}" where the site has navigation.
std::string breadcrumbs_link(std::string_view root_name, const std::string& site_path, bool utf8);

// The whole index document of a site with navigation, its records at the
// end as render_index keeps them.
std::string render_navigation_index(const FolderIndex& index);

}  // namespace prismet
