#include "convert/tree_job.h"

#include <cerrno>
#include <optional>

#include "common/fixed_text.h"

namespace prismet {

bool settle_without_converting(TreeJob& job, const Freshness& freshness) {
  job.freshness_checked = true;
  if (job.source_path.size() >= kPathCapacity) {
    job.failure = failure_of(Culprit::kSource, ENAMETOOLONG);
    return true;
  }
  if (job.page_path.size() >= kPathCapacity) {
    job.failure = failure_of(Culprit::kPage, ENAMETOOLONG, job.page_path);
    return true;
  }
  // Only a page that may still be current needs the source's stamp before
  // it is opened; the others take it from the open source (one status call
  // less per page: the headers' row of the whole-tree benchmark).
  if (!freshness.may_be_current(job.previous, job.page_exists)) return false;
  const PagePlace place{job.sources,
                        job.pages,
                        job.source_name.c_str(),
                        job.source_path.c_str(),
                        job.page_name.c_str(),
                        job.page_path.c_str()};
  switch (check_page(*job.previous, place, &job.page)) {
    case PageState::kSourceUnknown:
      job.failure = failure_of(Culprit::kSource, errno);
      return true;
    case PageState::kUnchanged:
      // With cross-references its links must be current too, and the page
      // the one whose uses are recorded (not one a stopped run rewrote).
      if (job.symbols != nullptr && !(job.links_current && job.recorded->source == job.previous->source &&
                                      job.recorded->page == job.page)) {
        break;
      }
      job.record = *job.previous;
      job.unchanged = true;
      return true;
    case PageState::kChanged:
      break;
  }
  return false;
}

void carry_out(TreeJob& job, PageConverter& converter, const Freshness& freshness) {
  if (!job.freshness_checked && settle_without_converting(job, freshness)) return;
  std::optional<SitePageLinks> links;
  if (job.site != nullptr) {
    links.emplace(*job.site, job.site_top, *job.site_folder, converter.settings.extension,
                  converter.utf8_pages(), &converter.include_targets);
  }
  PageLinks* page_links = links ? &*links : nullptr;
  std::optional<PageReferences> references;
  if (job.symbols != nullptr) {
    job.uses = PageUses();  // any recorded ones
    references.emplace(*job.symbols, job.site_page, converter.utf8_pages(), page_links, &job.uses);
    page_links = &*references;
  }
  PageResult result =
      convert_to_page(job.source_path.c_str(), job.page_path, converter, *job.index_value, page_links);
  if (result.failure) {
    job.failure = std::move(result.failure);
    return;
  }
  job.record.fingerprint = freshness.fingerprint;
  job.record.source = result.source;
  job.record.lines = result.lines;
  if (job.symbols != nullptr) {
    job.record.page_size = file_stamp(job.page_path.c_str(), job.page) ? job.page.size : kUnknownPageSize;
    job.record_entry.clear();
    append_page_entry(job.record_entry, job.site_page, job.record.source, job.page, job.uses, *job.symbols);
  } else {
    job.record.page_size = page_size_of(job.page_path);
  }
}

}  // namespace prismet
