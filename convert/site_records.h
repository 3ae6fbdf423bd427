// What a run with cross-references keeps for the next one, in one file in
// the folder of the symbol pages: the definitions each source gave (with
// the source's stamp, so that an unchanged source is not read again), a
// signature of where each name's links lead, and for each page made what
// it linked (its uses) and every name it looked up, with its source's and
// its own stamp. The next run remakes a page whose source is unchanged only
// when one of the names it looked up leads elsewhere now, or when the page
// on disk is not the one recorded (a run stopped half way).
//
// It also holds what the symbol pages were written with, the stamp of
// their records file after (so that a run stopped while writing them, or
// anyone's change, is seen) and each name's count of uses: a later run
// writes only the pages of the names whose definitions or uses changed.
//
// Binary, little-endian, a checksum at the end; any bytes that are not a
// whole record of this version made with the same fingerprint read as no
// record at all (every source read, every page made).
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/file_system.h"
#include "convert/page_references.h"
#include "convert/symbol_table.h"
#include "engine/definition.h"

namespace prismet {

inline constexpr char kSiteRecordsName[] = "+site-records";
inline constexpr std::size_t kSiteRecordsHeadSize = 32;
bool begins_like_site_records(std::string_view head);
// The checksum a record's last eight bytes hold, of all the bytes before.
std::uint64_t site_records_checksum(std::string_view bytes);

// A name's signature by its 64-bit hash (SymbolTable::name_hash), sorted by
// the hash.
using LinkSignatures = std::vector<std::pair<std::uint64_t, std::uint64_t>>;

// The 32-bit hashes of the names whose links differ between two runs:
// those whose signature differs, and those defined in one run only. Sorted.
std::vector<std::uint32_t> changed_names(const LinkSignatures& before, const LinkSignatures& now);

// Whether any of the sorted `looked_up` hashes is among the sorted `changed`.
bool looked_up_any(std::span<const std::uint32_t> looked_up, std::span<const std::uint32_t> changed);

// One page as the record holds it: views into the record's bytes.
struct RecordedPage {
  FileStamp source;  // its source when it was made
  FileStamp page;    // the page as written
  std::vector<std::uint32_t> looked_up;
  std::string_view uses;   // its uses, encoded
  std::string_view entry;  // the whole entry, copied into the next record when the page stays
};

// A use a page's record holds: its name by a symbol table's number, its
// line, and its line's text as a view of the record's bytes.
struct RecordedUse {
  std::uint32_t name = 0;
  std::uint32_t line = 0;
  std::string_view text;
};

class SiteRecord {
 public:
  SiteRecord() = default;
  SiteRecord(const SiteRecord&) = delete;  // its pages are views of its own bytes
  SiteRecord& operator=(const SiteRecord&) = delete;

  // Takes the bytes of a records file; false, with nothing kept, unless they
  // are a whole record made with `fingerprint`.
  bool load(std::string bytes, std::uint64_t fingerprint);
  bool loaded() const { return loaded_; }
  // The bytes loaded, when loaded().
  std::string_view bytes() const { return bytes_; }

  // The definitions recorded for the source of the page `page_path` when its
  // stamp is `stamp`, into `out` as views of the record's bytes, with the
  // source's whole entry for the next record; false (nothing taken)
  // otherwise.
  bool take_definitions(const std::string& page_path, const FileStamp& stamp,
                        std::vector<DefinitionView>& out, std::string_view& entry);
  std::size_t size() const { return bytes_.size(); }
  const LinkSignatures& signatures() const { return signatures_; }
  // A digest of the symbol pages' style, and their records file's stamp
  // after they were all written (all zero: they were not).
  std::uint64_t symbol_style() const { return symbol_style_; }
  const FileStamp& symbol_records() const { return symbol_records_; }
  // The uses of the name of that hash, kNoCount when not recorded.
  static constexpr std::uint32_t kNoCount = 0xFFFFFFFFu;
  std::uint32_t use_count(std::uint64_t hash) const;
  // For the source of the page `page_path` read again: into `names`, the
  // names whose definitions there differ between the record and `now`
  // (another line, text, scope or kind, one more or less); its recorded
  // entry then counts as taken. False, nothing added, when the record has
  // no entry for it.
  bool changed_definitions(const std::string& page_path, std::span<const Definition> now,
                           std::vector<std::string>& names);
  // The names of the definitions of the sources not taken.
  std::vector<std::string_view> names_not_taken() const;
  // Each recorded page, by its path.
  const std::unordered_map<std::string_view, RecordedPage>& pages() const { return pages_; }
  // The page at `page_path` from the site's root; null when not recorded.
  const RecordedPage* page(std::string_view page_path) const;
  // The page's uses as numbers of `symbols`; false when one of its names is
  // no longer defined there.
  static bool uses_of(const RecordedPage& page, const SymbolTable& symbols, PageUses& out);
  // The names of the encoded uses `uses` (RecordedPage::uses), each once.
  static std::vector<std::string_view> names_of(std::string_view uses);
  // Of the encoded uses, those of the names `wanted` marks (by `symbols'`
  // numbers) into `out`, their texts views of `uses`; false when there are
  // none.
  static bool wanted_uses(std::string_view uses, const SymbolTable& symbols, const std::vector<char>& wanted,
                          std::vector<RecordedUse>& out);
  // Calls `each(path, uses, looked_up)` for each page in `pages`
  // (SiteRecordWriter::pages), in their order, `looked_up` the sorted
  // hashes of the names it looked up (every name it uses among them);
  // false for bytes that are not pages.
  template <class Each>
  static bool for_each_page(std::string_view pages, Each each) {
    std::string_view path;
    std::string_view uses;
    std::vector<std::uint32_t> looked_up;
    while (next_page(pages, path, uses, looked_up))
      each(path, uses, std::span<const std::uint32_t>(looked_up));
    return pages.empty();
  }

 private:
  struct Source {
    FileStamp stamp;
    std::vector<DefinitionView> definitions;  // views of bytes_
    std::string_view entry;
  };
  bool parse(std::string_view body);
  static bool next_page(std::string_view& pages, std::string_view& path, std::string_view& uses,
                        std::vector<std::uint32_t>& looked_up);

  bool loaded_ = false;
  std::string bytes_;
  std::unordered_map<std::string, Source> sources_;
  LinkSignatures signatures_;
  std::uint64_t symbol_style_ = 0;
  FileStamp symbol_records_;
  std::vector<std::pair<std::uint64_t, std::uint32_t>> counts_;  // sorted by hash
  std::unordered_map<std::string_view, RecordedPage> pages_;     // views of bytes_
};

// A source's entry of the record, appended to `out`: its page's path, its
// stamp and its definitions. Made on any thread, for SiteRecordWriter's
// add_source_entry.
void append_source_entry(std::string& out, std::string_view page_path, const FileStamp& stamp,
                         std::span<const Definition> definitions);
// A page's entry, appended to `out`, for add_page_entry: what it linked by
// `symbols`' numbers, and the hashes of the names it looked up (in any
// order, repeated or not: `uses.looked_up` is left sorted, each once). Made
// on the thread that made the page.
void append_page_entry(std::string& out, std::string_view page_path, const FileStamp& source,
                       const FileStamp& page, PageUses& uses, const SymbolTable& symbols);

// Builds the next record: the sources first, then the signatures, then the
// pages in any order. Its bytes are pieces, never copied as the record
// grows: an entry left as the record read held it is a view of that
// record's bytes (which must outlive the writer), and every other byte is
// the writer's own, in chunks that never move. A second run that leaves
// most pages as they were copies none of their megabytes: it is fresh
// memory, which a run pays for by the page fault.
class SiteRecordWriter {
 public:
  explicit SiteRecordWriter(std::uint64_t fingerprint);
  SiteRecordWriter(const SiteRecordWriter&) = delete;  // its pieces are views of its own chunks
  SiteRecordWriter& operator=(const SiteRecordWriter&) = delete;

  void add_source(std::string_view page_path, const FileStamp& stamp,
                  std::span<const Definition> definitions);
  // A source's whole entry made by append_source_entry (copied).
  void add_source_entry(std::string_view entry) {
    ++count_;
    own(entry);
  }
  // The recorded entry of a source whose definitions were taken from the
  // record (kept as a view).
  void add_recorded_source(std::string_view entry) {
    ++count_;
    keep(entry);
  }
  void end_sources();
  void add_signatures(const LinkSignatures& signatures);
  // A page made in this run: what it linked by `symbols`' numbers, and the
  // hashes of the names it looked up (in any order, repeated or not).
  void add_page(std::string_view page_path, const FileStamp& source, const FileStamp& page, PageUses& uses,
                const SymbolTable& symbols);
  // A page's whole entry, made by append_page_entry (copied).
  void add_page_entry(std::string_view entry) {
    ++count_;
    own(entry);
  }
  // A page left as it was: its recorded entry (kept as a view).
  void add_recorded_page(const RecordedPage& page) {
    ++count_;
    keep(page.entry);
  }
  // Calls SiteRecord::for_each_page's `each` for each page added so far, in
  // their order; false for bytes that are not pages.
  template <class Each>
  bool for_each_page(Each each) const {
    bool whole = true;
    for (std::size_t i = pages_from_; i < pieces_.size(); ++i)
      whole = SiteRecord::for_each_page(pieces_[i], each) && whole;
    return whole;
  }
  // Ends the record with the symbol pages' style and records' stamp
  // (SiteRecord::symbol_records) and each name's count of uses by its hash
  // (sorted, kNoCount for names whose hashes collide), and its checksum;
  // nothing can be added after.
  void seal(std::uint64_t symbol_style, const FileStamp& symbol_records,
            const std::vector<std::pair<std::uint64_t, std::uint32_t>>& counts);
  // The file's bytes, in order, once sealed.
  std::span<const std::string_view> pieces() const { return pieces_; }
  // Seals the record and gives its bytes in one string.
  std::string finish(std::uint64_t symbol_style, const FileStamp& symbol_records,
                     const std::vector<std::pair<std::uint64_t, std::uint32_t>>& counts);

 private:
  // Appends a copy of `bytes` in one piece of a chunk; where it went.
  char* own(std::string_view bytes);
  // Appends a view that outlives the writer, as part of the last piece
  // where it follows it.
  void keep(std::string_view bytes);

  std::deque<std::string> chunks_;  // each reserved once: its bytes never move
  std::vector<std::string_view> pieces_;
  bool split_ = false;                 // the next bytes start a piece of their own
  std::size_t pages_from_ = SIZE_MAX;  // the first piece of the pages (each holds whole pages)
  char* head_ = nullptr;               // the record's opening
  char* count_at_ = nullptr;           // where the count of the current section goes
  std::uint32_t count_ = 0;
  std::string scratch_;
};

// Whether the pieces, in order, hold the same bytes as `bytes`.
bool same_bytes(std::span<const std::string_view> pieces, std::string_view bytes);

}  // namespace prismet
