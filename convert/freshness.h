// Freshness: what a page depends on (the run's fingerprint of the settings,
// the vocabulary and the insert files, and its source's stamp) and the rule
// that leaves a page unchanged. A page whose folder's index records the same
// fingerprint and the same source stamp (device, file index, size,
// modification time and, on Linux, the change time the system sets on every
// write) is left as it is while it exists with the recorded size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/file_system.h"
#include "convert/site_index.h"
#include "settings/output_style.h"

namespace prismet {

// What every page of the run depends on besides its source: the program's
// version, the settings that shape a page, and the bytes of the vocabulary
// file and of both insert files. Any change gives another value (a 64-bit
// FNV-1a hash).
std::uint64_t run_fingerprint(const Settings& settings);

// The fingerprint of a run whose pages also depend on the site's files (the
// targets of include links): `digest` is theirs.
std::uint64_t fingerprint_with_site(std::uint64_t fingerprint, std::uint64_t digest);
// A fingerprint that also depends on `text`.
std::uint64_t fingerprint_with(std::uint64_t fingerprint, std::string_view text);

// The run's side of the rule, the same for every page of it.
struct Freshness {
  std::uint64_t fingerprint = 0;
  bool rewrite_all = false;  // write every page, current or not

  // Whether a page may still be current, so that its source's stamp settles
  // it: its folder's index records it (`previous`, null when not) with this
  // run's fingerprint, and the folder's listing holds it.
  bool may_be_current(const PageRecord* previous, bool page_exists) const {
    return !rewrite_all && previous != nullptr && page_exists && previous->fingerprint == fingerprint;
  }
};

// Where a page and its source are: their folders (held open, or not) and
// names, and their whole paths.
struct PagePlace {
  const OpenFolder* sources = nullptr;
  const OpenFolder* pages = nullptr;
  const char* source_name = "";
  const char* source_path = "";
  const char* page_name = "";
  const char* page_path = "";
};

enum class PageState { kChanged, kUnchanged, kSourceUnknown };

// Checks a page that may be current against what its index records: it is
// unchanged when its source's stamp is the recorded one and the page has
// the size it was written with (a page cut short or grown since is made
// again). kSourceUnknown, with errno set, when the source's stamp cannot
// be had. An unchanged page's stamp goes to `page_stamp` (null: not asked).
PageState check_page(const PageRecord& previous, const PagePlace& place, FileStamp* page_stamp = nullptr);

// The size of the page just written, for its record (kUnknownPageSize when
// it cannot be had).
std::uint64_t page_size_of(const std::string& page_path);

}  // namespace prismet
