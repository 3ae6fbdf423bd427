#include "convert/symbol_pages.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <iterator>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_set>
#include <utility>

#include "common/file_system.h"
#include "common/fnv1a.h"
#include "common/folder_listing.h"
#include "common/path_text.h"
#include "convert/site_records.h"
#include "convert/symbol_files.h"
#include "convert/symbol_html.h"
#include "convert/symbol_index_html.h"
#include "convert/symbol_names.h"
#include "convert/symbol_page_html.h"
#include "convert/symbol_page_name.h"
#include "convert/symbol_records.h"

namespace prismet {

namespace {

// The folder of the symbol pages while they are written: the names of what
// is written in it this time, and every failure told as it comes.
class SymbolFolder {
 public:
  SymbolFolder(const std::string& site_root, const SymbolPagesStyle& style, FileProgress& progress)
      : path_(join_path(site_root, kSymbolFolder)), style_(style), progress_(progress) {}
  // The site's record, which the conversion writes after the pages.
  void keep_site_record() { keep(kSiteRecordsName); }

  bool open() {
    if (is_link(path_.c_str())) {
      FileFailure failure = failure_of(Culprit::kPage, ELOOP, path_);
      failure.reason = "the folder of the symbol pages is a symbolic link";
      tell(failure);
      return false;
    }
    int error = 0;
    if (make_folders(path_, error)) return true;
    tell(failure_of(Culprit::kPage, error, path_));
    return false;
  }

  std::string path_of(const std::string& name) const { return join_path(path_, name); }

  // Keeps `name` from being removed as stale.
  void keep(const std::string& name) { kept_.insert(name); }

  void write(const std::string& name, std::string_view bytes) {
    keep(name);
    if (std::optional<FileFailure> failure = write_symbol_file(path_of(name), bytes)) tell(*failure);
  }

  // Removes every file of ours in the folder that was not kept.
  void remove_stale() {
    std::vector<FolderEntry> entries;
    int error = 0;
    if (!list_folder(path_.c_str(), entries, error)) {
      tell(failure_of(Culprit::kPage, error, path_));
      return;
    }
    for (const FolderEntry& entry : entries) {
      if (entry.kind != FolderEntry::Kind::kFile || entry.link || kept_.count(entry.name) > 0) continue;
      const std::string path = path_of(entry.name);
      if (compare_symbol_file(path, std::string_view()) == SymbolFile::kOthers || delete_file(path.c_str()))
        continue;
      FileFailure failure = failure_of(Culprit::kPage, 0, path);
      failure.reason = "a symbol page of a name no longer defined could not be deleted";
      tell(failure);
    }
  }

  void tell(const FileFailure& failure) {
    failed_ = true;
    progress_.file_failed(style_.argument, path_.c_str(), failure);
  }

  bool failed() const { return failed_; }

 private:
  std::string path_;
  const SymbolPagesStyle& style_;
  FileProgress& progress_;
  std::unordered_set<std::string> kept_;
  bool failed_ = false;
};

// One group's page, left alone where the records say it shows what it
// would show now and it is as it was written; its record afterwards, none
// when it could not be written.
SymbolRecord bring_page(const std::string& path, std::span<const Symbol* const> names,
                        const SymbolPagesStyle& style, const SymbolRecord* previous,
                        std::optional<FileFailure>& failure) {
  SymbolRecord record;
  record.digest = symbol_group_digest(names, style);
  // A page with no record (all of them in a first run) is not even looked at.
  FileStamp stamp;
  if (previous != nullptr && previous->digest == record.digest && file_stamp(path.c_str(), stamp) &&
      stamp == previous->page) {
    record.page = stamp;
    return record;
  }
  failure = write_symbol_file(path, render_symbol_group(names, style));
  if (failure || !file_stamp(path.c_str(), record.page)) record.digest = 0;
  return record;
}

using Failures = std::vector<std::pair<std::size_t, FileFailure>>;

// The names of each group that has any, in the index's order within it; the
// groups by their number.
struct Group {
  std::string page;
  std::vector<const Symbol*> names;
};

std::vector<Group> groups_of(const std::vector<const Symbol*>& order, const SymbolPagesStyle& style) {
  std::vector<std::vector<const Symbol*>> by_group(kSymbolGroups);
  for (const Symbol* symbol : order) by_group[symbol_group(symbol->name)].push_back(symbol);
  std::vector<Group> groups;
  for (std::uint32_t group = 0; group < kSymbolGroups; ++group) {
    if (by_group[group].empty()) continue;
    groups.push_back({symbol_group_page(group, style.extension), std::move(by_group[group])});
  }
  return groups;
}

// The pages of the groups, on `style.threads` threads at once (the calling
// thread one of them), each taking the next group; the failures are told
// afterwards in the groups' order, and the records written. A group whose
// names `settled` marks (null: none), every one, keeps its page and record
// as they are, and must have both: false, with no records written, when
// one has not.
bool write_group_pages(SymbolFolder& folder, const std::vector<const Symbol*>& order,
                       const SymbolPagesStyle& style, const std::vector<char>* settled, const Symbol* first) {
  SymbolRecords previous;
  read_symbol_records_file(folder.path_of(kSymbolRecordsName), previous);
  const std::vector<Group> groups = groups_of(order, style);
  for (const Group& group : groups) folder.keep(group.page);
  std::vector<NamedRecord> records(groups.size());
  std::atomic<bool> unsettled{false};
  std::atomic<std::size_t> next{0};
  std::vector<Failures> failures(static_cast<std::size_t>(std::clamp(style.threads, 1, 64)));
  auto all_settled = [&](const Group& group) {
    if (settled == nullptr) return false;
    for (const Symbol* symbol : group.names) {
      if (!(*settled)[static_cast<std::size_t>(symbol - first)]) return false;
    }
    return true;
  };
  auto work = [&](Failures& found) {
    for (std::size_t i = next++; i < groups.size(); i = next++) {
      const auto kept = previous.find(groups[i].page);
      if (all_settled(groups[i])) {
        FileStamp stamp;
        if (kept == previous.end() || !file_stamp(folder.path_of(groups[i].page).c_str(), stamp) ||
            !(stamp == kept->second.page)) {
          unsettled = true;
        } else {
          records[i] = {groups[i].page, kept->second};
        }
        continue;
      }
      std::optional<FileFailure> failure;
      records[i] = {groups[i].page, bring_page(folder.path_of(groups[i].page), groups[i].names, style,
                                               kept == previous.end() ? nullptr : &kept->second, failure)};
      if (failure) found.emplace_back(i, std::move(*failure));
    }
  };
  {
    std::vector<std::jthread> threads;
    try {
      for (std::size_t t = 1; t < failures.size(); ++t) threads.emplace_back(work, std::ref(failures[t]));
    } catch (const std::system_error&) {
      // Fewer threads: those that started and this one take every page.
    }
    work(failures[0]);
  }
  Failures all;
  for (Failures& found : failures) std::move(found.begin(), found.end(), std::back_inserter(all));
  std::sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  if (unsettled) return false;  // told when all are written
  for (const auto& [index, failure] : all) folder.tell(failure);
  folder.write(kSymbolRecordsName, render_symbol_records(records));
  return true;
}

// The names in the index's order, each once (its first coming), the empty
// name left out.
std::vector<const Symbol*> index_order(const std::vector<Symbol>& symbols) {
  std::vector<const Symbol*> order;
  order.reserve(symbols.size());
  for (const Symbol& symbol : symbols) {
    if (!symbol.name.empty()) order.push_back(&symbol);
  }
  std::stable_sort(order.begin(), order.end(),
                   [](const Symbol* a, const Symbol* b) { return symbol_name_before(a->name, b->name); });
  order.erase(std::unique(order.begin(), order.end(),
                          [](const Symbol* a, const Symbol* b) { return a->name == b->name; }),
              order.end());
  return order;
}

void write_indexes(SymbolFolder& folder, const std::vector<const Symbol*>& order,
                   const SymbolPagesStyle& style) {
  std::array<std::vector<const Symbol*>, kSymbolInitials> initials;
  for (const Symbol* symbol : order)
    initials[static_cast<std::size_t>(symbol_initial(symbol->name))].push_back(symbol);
  std::array<std::size_t, kSymbolInitials> counts{};
  for (std::size_t initial = 0; initial < initials.size(); ++initial) {
    counts[initial] = initials[initial].size();
    if (counts[initial] == 0) continue;
    const int which = static_cast<int>(initial);
    folder.write(symbol_initial_page(which), render_symbol_initial(which, initials[initial], style));
  }
  folder.write(kSymbolIndexName, render_symbol_index(counts, style));
}

void write_names(SymbolFolder& folder, const std::vector<const Symbol*>& order,
                 const SymbolPagesStyle& style) {
  std::string script = symbol_names_head(style.extension);
  for (const Symbol* symbol : order) append_symbol_name(script, symbol->name, style.utf8);
  script += symbol_names_tail();
  folder.write(kSymbolNamesName, script);
}

}  // namespace

void SiteSymbols::keep(std::vector<Symbol> more) {
  std::size_t size = 0;
  for (const Symbol& symbol : more) {
    size += symbol.name.size();
    for (const SymbolDefinition& d : symbol.definitions)
      size += d.page.size() + d.text.size() + d.scope.size();
    for (const SymbolPlace& use : symbol.uses) size += use.page.size() + use.text.size();
  }
  auto store = std::make_unique<std::string>();
  store->reserve(size);  // never grows past this: the views below stay where they point
  auto copy = [&store](std::string_view& view) {
    const std::size_t at = store->size();
    store->append(view);
    view = std::string_view(*store).substr(at, view.size());
  };
  for (Symbol& symbol : more) {
    copy(symbol.name);
    for (SymbolDefinition& d : symbol.definitions) {
      copy(d.page);
      copy(d.text);
      copy(d.scope);
    }
    for (SymbolPlace& use : symbol.uses) {
      copy(use.page);
      copy(use.text);
    }
    symbols.push_back(std::move(symbol));
  }
  bytes.push_back(std::move(store));
}

bool write_symbol_pages(const std::string& site_root, const std::vector<Symbol>& symbols,
                        const SymbolPagesStyle& style, FileProgress& progress) {
  return update_symbol_pages(site_root, symbols, nullptr, style, progress) == SymbolPagesUpdate::kWritten;
}

SymbolPagesUpdate update_symbol_pages(const std::string& site_root, const std::vector<Symbol>& symbols,
                                      const std::vector<char>* settled, const SymbolPagesStyle& style,
                                      FileProgress& progress) {
  SymbolFolder folder(site_root, style, progress);
  if (!folder.open()) return SymbolPagesUpdate::kFailed;
  const std::vector<const Symbol*> order = index_order(symbols);
  folder.keep_site_record();
  if (!write_group_pages(folder, order, style, settled, symbols.data())) return SymbolPagesUpdate::kNeedsAll;
  write_indexes(folder, order, style);
  write_names(folder, order, style);
  folder.remove_stale();
  return folder.failed() ? SymbolPagesUpdate::kFailed : SymbolPagesUpdate::kWritten;
}

std::uint64_t symbol_pages_style_digest(const SymbolPagesStyle& style) {
  std::uint64_t digest = fnv1a(kFnv1aBasis, style.extension);
  digest = fnv1a(fnv1a_number(digest, style.extension.size()), style.root_name);
  return fnv1a_number(fnv1a_number(digest, style.root_name.size()),
                      (style.utf8 ? 1 : 0) | (style.navigation ? 2 : 0));
}

bool remove_symbol_pages(const std::string& site_root, const SymbolPagesStyle& style,
                         FileProgress& progress) {
  SymbolFolder folder(site_root, style, progress);
  const std::string path = join_path(site_root, kSymbolFolder);
  if (is_link(path.c_str()) || !is_folder(path.c_str())) return true;
  folder.remove_stale();
  remove_empty_folder(path.c_str());
  return !folder.failed();
}

}  // namespace prismet
