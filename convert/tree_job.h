// One file of a tree to be made into its page: what the walk gives it,
// what became of it, and carrying it out (left as it is while still
// current, else converted). A job is carried out by one thread at a time:
// the walking thread until it queues the job, then the worker pool until
// the pool has marked it finished.
#pragma once

#include <optional>
#include <string>

#include "common/file_system.h"
#include "convert/failure.h"
#include "convert/freshness.h"
#include "convert/page_converter.h"
#include "convert/page_references.h"
#include "convert/site_files.h"
#include "convert/site_index.h"
#include "convert/site_records.h"

namespace prismet {

struct TreeJob {
  // What the walk gives it.
  const OpenFolder* sources = nullptr;  // the source's folder
  const OpenFolder* pages = nullptr;    // the page's folder
  std::string source_path;
  std::string page_path;
  std::string source_name;
  std::string page_name;
  const PageRecord* previous = nullptr;  // what its folder's index records
  bool page_exists = false;              // the folder's listing holds the page
  const std::string* index_value = nullptr;
  // The site's sources, where its include directives link (null: no
  // links), its top folder among them and its folder below that ("" or
  // "a/b/").
  const SiteFiles* site = nullptr;
  std::size_t site_top = 0;
  const std::string* site_folder = nullptr;
  // The site's names, where its identifiers link (null: no cross-references),
  // and its page's path from the site's root.
  const SymbolTable* symbols = nullptr;
  std::string site_page;
  // With cross-references: what the run before recorded of the page (null:
  // nothing), and whether its links are still current by that record (no
  // name it looked up leads elsewhere now); the page is left as it is only
  // when they are and the page and its source are the ones recorded. Then
  // `uses` holds its recorded uses.
  const RecordedPage* recorded = nullptr;
  bool links_current = false;

  // How the walking thread has it carried out; no other thread reads it.
  enum class Handling {
    kHere,     // by the thread that consumes it, when its turn comes
    kSettled,  // already: failed or still current
    kQueued,   // by the worker pool, which tells when it is finished
  };
  Handling handling = Handling::kHere;
  // Whether the page's freshness has been checked: set by the thread that
  // holds the job, before the job is handed on.
  bool freshness_checked = false;
  // Whether a queued job is finished: written and read only under the
  // worker pool's lock.
  bool finished = false;

  // What became of it.
  std::optional<FileFailure> failure;
  PageRecord record;
  bool unchanged = false;
  PageUses uses;  // with cross-references, of the page
  // With cross-references, the page's entry of the site's record, made by
  // the thread that made the page.
  std::string record_entry;
  FileStamp page;  // with cross-references, the page's stamp as written or as it was left
};

// Settles the job without converting where it can: a path too long, a page
// still current, a source whose stamp cannot be had. True when settled.
bool settle_without_converting(TreeJob& job, const Freshness& freshness);

// Carries the job out on the calling thread, with its page converter.
void carry_out(TreeJob& job, PageConverter& converter, const Freshness& freshness);

}  // namespace prismet
