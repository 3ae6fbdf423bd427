#include "convert/site_records.h"

#include <algorithm>
#include <cstring>
#include <tuple>

#include "common/word_mix.h"
#include "convert/name_runs.h"

namespace prismet {

namespace {

constexpr std::string_view kOpening = "prismet-site-records 1\n";
static_assert(kOpening.size() <= kSiteRecordsHeadSize);
constexpr std::size_t kStampSize = 5 * 8;
// Where the symbol pages' style and records' stamp go: after the fingerprint.
constexpr std::size_t kSymbolsAt = kOpening.size() + 8;

// A checksum of the bytes, eight at a time, given in any number of pieces
// that together make `size` bytes: a record changed anywhere since it was
// written is no record.
class Checksum {
 public:
  explicit Checksum(std::size_t size) : hash_((size + 1) * kWordMixMultiplier) {}
  void add(std::string_view bytes) {
    if (held_ > 0) {
      const std::size_t take = std::min(8 - held_, bytes.size());
      std::memcpy(word_ + held_, bytes.data(), take);
      held_ += take;
      bytes.remove_prefix(take);
      if (held_ < 8) return;
      mix(word_);
      held_ = 0;
    }
    for (; bytes.size() >= 8; bytes.remove_prefix(8)) mix(bytes.data());
    std::memcpy(word_, bytes.data(), bytes.size());
    held_ = bytes.size();
  }
  std::uint64_t value() const {
    std::uint64_t word = 0;
    std::memcpy(&word, word_, held_);
    const std::uint64_t hash = (hash_ ^ word) * kWordMixMultiplier;
    return hash ^ (hash >> 32);
  }

 private:
  void mix(const char* at) {
    std::uint64_t word;
    std::memcpy(&word, at, 8);
    hash_ = mix_word(hash_, word);
  }
  std::uint64_t hash_;
  char word_[8] = {};
  std::size_t held_ = 0;
};

std::uint64_t checksum_of(std::string_view bytes) {
  Checksum checksum(bytes.size());
  checksum.add(bytes);
  return checksum.value();
}

// Each number goes in as one append of its little-endian bytes, built in
// place: the record runs to megabytes of them.
void put_number(std::string& out, std::uint64_t value, int bytes) {
  char buffer[8];
  for (int i = 0; i < bytes; ++i, value >>= 8) buffer[i] = static_cast<char>(value & 0xFFu);
  out.append(buffer, static_cast<std::size_t>(bytes));
}
void put32(std::string& out, std::uint32_t value) { put_number(out, value, 4); }
void put64(std::string& out, std::uint64_t value) { put_number(out, value, 8); }
void put_text(std::string& out, std::string_view text) {
  put32(out, static_cast<std::uint32_t>(text.size()));
  out += text;
}
void put_stamp(std::string& out, const FileStamp& s) {
  char buffer[kStampSize];
  std::size_t at = 0;
  for (std::uint64_t field : {s.device, s.index, s.size, s.modified, s.changed}) {
    for (int i = 0; i < 8; ++i, field >>= 8) buffer[at++] = static_cast<char>(field & 0xFFu);
  }
  out.append(buffer, kStampSize);
}
void patch32(char* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i, value >>= 8) at[i] = static_cast<char>(value & 0xFFu);
}

// Reads the record's fields, every one checked against what is left: a read
// past the end fails, and so does every read after it.
class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}
  bool ok() const { return ok_; }
  std::size_t offset() const { return at_; }
  std::size_t left() const { return bytes_.size() - at_; }
  std::uint64_t number(int bytes) {
    if (!ok_ || left() < static_cast<std::size_t>(bytes)) return fail();
    std::uint64_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
      value = value << 8 | static_cast<unsigned char>(bytes_[at_ + static_cast<std::size_t>(i)]);
    at_ += static_cast<std::size_t>(bytes);
    return value;
  }
  std::uint32_t u32() { return static_cast<std::uint32_t>(number(4)); }
  std::uint64_t u64() { return number(8); }
  std::uint8_t u8() { return static_cast<std::uint8_t>(number(1)); }
  // A count of elements of at least `each` bytes: no more than what is left holds.
  std::uint32_t count(std::size_t each) {
    const std::uint32_t n = u32();
    if (ok_ && n > left() / each) return static_cast<std::uint32_t>(fail());
    return n;
  }
  // Passes over `size` bytes, no more than what is left.
  void skip(std::size_t size) {
    if (!ok_ || size > left()) {
      fail();
      return;
    }
    at_ += size;
  }
  std::string_view text() {
    const std::uint32_t size = u32();
    if (!ok_ || size > left()) {
      fail();
      return {};
    }
    const std::string_view text = bytes_.substr(at_, size);
    at_ += size;
    return text;
  }
  FileStamp stamp() {
    FileStamp s;
    for (std::uint64_t* field : {&s.device, &s.index, &s.size, &s.modified, &s.changed}) *field = u64();
    return s;
  }
  std::uint64_t fail() {
    ok_ = false;
    at_ = bytes_.size();
    return 0;
  }

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

// The uses part of a page's entry, decoded; false for bytes that are not one.
// Without `uses`, its uses are passed over whole, unread: every run loads the
// uses of every page, a quarter of a million on the headers' tree
// (bench/run.py's cross-reference edit rows), and whatever decodes one
// checks its numbers then.
bool read_uses(Reader& in, std::vector<std::string_view>* names, std::vector<std::string_view>* texts,
               std::vector<PageUses::Use>* uses) {
  const std::uint32_t name_count = in.count(4);
  for (std::uint32_t i = 0; i < name_count && in.ok(); ++i) {
    const std::string_view name = in.text();
    if (names != nullptr) names->push_back(name);
  }
  const std::uint32_t text_count = in.count(4);
  for (std::uint32_t i = 0; i < text_count && in.ok(); ++i) {
    const std::string_view text = in.text();
    if (texts != nullptr) texts->push_back(text);
  }
  const std::uint32_t use_count = in.count(12);
  if (uses == nullptr) {
    in.skip(std::size_t{12} * use_count);
    return in.ok();
  }
  for (std::uint32_t i = 0; i < use_count && in.ok(); ++i) {
    PageUses::Use use;
    use.name = in.u32();
    use.line = in.u32();
    use.text = in.u32();
    if (use.name >= name_count || use.text >= text_count) {
      in.fail();
      return false;
    }
    uses->push_back(use);
  }
  return in.ok();
}

}  // namespace

std::uint64_t site_records_checksum(std::string_view bytes) { return checksum_of(bytes); }

bool begins_like_site_records(std::string_view head) { return head.substr(0, kOpening.size()) == kOpening; }

std::vector<std::uint32_t> changed_names(const LinkSignatures& before, const LinkSignatures& now) {
  std::vector<std::uint32_t> changed;
  auto a = before.begin();
  auto b = now.begin();
  while (a != before.end() || b != now.end()) {
    if (b == now.end() || (a != before.end() && a->first < b->first)) {
      changed.push_back(static_cast<std::uint32_t>(a++->first));
    } else if (a == before.end() || b->first < a->first) {
      changed.push_back(static_cast<std::uint32_t>(b++->first));
    } else {
      if (a->second != b->second) changed.push_back(static_cast<std::uint32_t>(a->first));
      ++a;
      ++b;
    }
  }
  std::sort(changed.begin(), changed.end());
  changed.erase(std::unique(changed.begin(), changed.end()), changed.end());
  return changed;
}

bool looked_up_any(std::span<const std::uint32_t> looked_up, std::span<const std::uint32_t> changed) {
  if (changed.empty() || looked_up.empty()) return false;
  // The shorter list searched in the longer one.
  const auto shorter = looked_up.size() <= changed.size() ? looked_up : changed;
  const auto longer = looked_up.size() <= changed.size() ? changed : looked_up;
  for (const std::uint32_t hash : shorter) {
    if (std::binary_search(longer.begin(), longer.end(), hash)) return true;
  }
  return false;
}

bool SiteRecord::load(std::string bytes, std::uint64_t fingerprint) {
  loaded_ = false;
  sources_.clear();
  signatures_.clear();
  pages_.clear();
  bytes_ = std::move(bytes);
  const std::string_view all = bytes_;
  if (all.size() < kOpening.size() + 16 || !begins_like_site_records(all)) return false;
  const std::string_view body = all.substr(0, all.size() - 8);
  Reader tail(all.substr(body.size()));
  if (tail.u64() != checksum_of(body)) return false;
  Reader head(body.substr(kOpening.size()));
  if (head.u64() != fingerprint) return false;
  symbol_style_ = head.u64();
  symbol_records_ = head.stamp();
  if (!head.ok() || !parse(body.substr(kSymbolsAt + 8 + kStampSize))) {
    counts_.clear();
    sources_.clear();
    signatures_.clear();
    pages_.clear();
    return false;
  }
  loaded_ = true;
  return true;
}

bool SiteRecord::parse(std::string_view body) {
  Reader in(body);
  const std::uint32_t sources = in.count(4 + kStampSize + 4);
  for (std::uint32_t i = 0; i < sources && in.ok(); ++i) {
    const std::size_t start = in.offset();
    const std::string_view path = in.text();
    Source source;
    source.stamp = in.stamp();
    const std::uint32_t definitions = in.count(3 * 4 + 4 + 2);
    source.definitions.reserve(definitions);
    for (std::uint32_t d = 0; d < definitions && in.ok(); ++d) {
      DefinitionView definition;
      definition.name = in.text();
      definition.scope = in.text();
      definition.text = in.text();
      definition.line = in.u32();
      const std::uint8_t kind = in.u8();
      const std::uint8_t declaration = in.u8();
      if (kind > static_cast<std::uint8_t>(SymbolKind::Member) || declaration > 1) return false;
      definition.kind = static_cast<SymbolKind>(kind);
      definition.declaration_only = declaration != 0;
      source.definitions.push_back(definition);
    }
    source.entry = body.substr(start, in.offset() - start);
    if (in.ok() && !sources_.emplace(std::string(path), std::move(source)).second) return false;
  }
  const std::uint32_t signatures = in.count(16);
  signatures_.reserve(signatures);
  for (std::uint32_t i = 0; i < signatures && in.ok(); ++i) {
    const std::uint64_t hash = in.u64();
    const std::uint64_t signature = in.u64();
    if (!signatures_.empty() && signatures_.back().first >= hash) return false;
    signatures_.emplace_back(hash, signature);
  }
  const std::uint32_t pages = in.count(4 + 2 * kStampSize + 4 * 4);
  for (std::uint32_t i = 0; i < pages && in.ok(); ++i) {
    const std::size_t start = in.offset();
    const std::string_view path = in.text();
    RecordedPage page;
    page.source = in.stamp();
    page.page = in.stamp();
    const std::uint32_t looked_up = in.count(4);
    page.looked_up.reserve(looked_up);
    for (std::uint32_t l = 0; l < looked_up && in.ok(); ++l) {
      const std::uint32_t hash = in.u32();
      if (!page.looked_up.empty() && page.looked_up.back() >= hash) return false;
      page.looked_up.push_back(hash);
    }
    const std::size_t uses = in.offset();
    if (!read_uses(in, nullptr, nullptr, nullptr)) return false;
    page.uses = body.substr(uses, in.offset() - uses);
    page.entry = body.substr(start, in.offset() - start);
    if (in.ok() && !pages_.emplace(path, std::move(page)).second) return false;
  }
  const std::uint32_t counts = in.count(12);
  counts_.reserve(counts);
  for (std::uint32_t i = 0; i < counts && in.ok(); ++i) {
    const std::uint64_t hash = in.u64();
    const std::uint32_t count = in.u32();
    if (!counts_.empty() && counts_.back().first >= hash) return false;
    counts_.emplace_back(hash, count);
  }
  return in.ok() && in.left() == 0;
}

bool SiteRecord::next_page(std::string_view& pages, std::string_view& path, std::string_view& uses,
                           std::vector<std::uint32_t>& looked_up) {
  if (pages.empty()) return false;
  Reader in(pages);
  path = in.text();
  in.stamp();
  in.stamp();
  const std::uint32_t count = in.count(4);
  looked_up.clear();
  for (std::uint32_t l = 0; l < count && in.ok(); ++l) looked_up.push_back(in.u32());
  const std::size_t start = in.offset();
  if (!read_uses(in, nullptr, nullptr, nullptr)) return false;
  uses = pages.substr(start, in.offset() - start);
  pages.remove_prefix(in.offset());
  return true;
}

std::uint32_t SiteRecord::use_count(std::uint64_t hash) const {
  const auto found = std::lower_bound(counts_.begin(), counts_.end(), std::pair(hash, std::uint32_t{0}));
  return found != counts_.end() && found->first == hash ? found->second : kNoCount;
}

namespace {

// A definition's fields in an order that puts each name's together.
bool definition_before(const DefinitionView* a, const DefinitionView* b) {
  return std::tie(a->name, a->line, a->scope, a->text, a->kind, a->declaration_only) <
         std::tie(b->name, b->line, b->scope, b->text, b->kind, b->declaration_only);
}

bool same_definition(const DefinitionView* a, const DefinitionView* b) {
  return std::tie(a->name, a->line, a->scope, a->text, a->kind, a->declaration_only) ==
         std::tie(b->name, b->line, b->scope, b->text, b->kind, b->declaration_only);
}

std::vector<const DefinitionView*> by_name(std::span<const DefinitionView> definitions) {
  std::vector<const DefinitionView*> sorted;
  sorted.reserve(definitions.size());
  for (const DefinitionView& definition : definitions) sorted.push_back(&definition);
  std::sort(sorted.begin(), sorted.end(), definition_before);
  return sorted;
}

}  // namespace

bool SiteRecord::changed_definitions(const std::string& page_path, std::span<const Definition> now,
                                     std::vector<std::string>& names) {
  const auto found = sources_.find(page_path);
  if (found == sources_.end()) return false;
  std::vector<DefinitionView> views;
  views.reserve(now.size());
  for (const Definition& definition : now) views.push_back(view_of(definition));
  const std::vector<const DefinitionView*> a = by_name(found->second.definitions);
  const std::vector<const DefinitionView*> b = by_name(views);
  for_each_changed_name(
      std::span<const DefinitionView* const>(a), std::span<const DefinitionView* const>(b),
      [](const DefinitionView* definition) { return definition->name; }, same_definition,
      [&names](std::string_view name) { names.emplace_back(name); });
  sources_.erase(found);
  return true;
}

std::vector<std::string_view> SiteRecord::names_not_taken() const {
  std::vector<std::string_view> names;
  for (const auto& [path, source] : sources_) {
    for (const DefinitionView& definition : source.definitions) names.push_back(definition.name);
  }
  return names;
}

std::vector<std::string_view> SiteRecord::names_of(std::string_view uses) {
  std::vector<std::string_view> names;
  Reader in(uses);
  read_uses(in, &names, nullptr, nullptr);
  return names;
}

bool SiteRecord::wanted_uses(std::string_view uses, const SymbolTable& symbols,
                             const std::vector<char>& wanted, std::vector<RecordedUse>& out) {
  out.clear();
  Reader in(uses);
  const std::uint32_t name_count = in.count(4);
  std::vector<std::uint32_t> numbers;
  numbers.reserve(name_count);
  bool any = false;
  for (std::uint32_t i = 0; i < name_count && in.ok(); ++i) {
    const std::uint32_t number = symbols.find(in.text());
    const bool want = number != SymbolTable::kNone && number < wanted.size() && wanted[number];
    numbers.push_back(want ? number : SymbolTable::kNone);
    any |= want;
  }
  if (!any || !in.ok()) return false;
  std::vector<std::string_view> texts;
  const std::uint32_t text_count = in.count(4);
  texts.reserve(text_count);
  for (std::uint32_t i = 0; i < text_count && in.ok(); ++i) texts.push_back(in.text());
  const std::uint32_t use_count = in.count(12);
  for (std::uint32_t i = 0; i < use_count && in.ok(); ++i) {
    const std::uint32_t name = in.u32();
    const std::uint32_t line = in.u32();
    const std::uint32_t text = in.u32();
    if (!in.ok() || name >= numbers.size() || text >= texts.size()) return false;
    if (numbers[name] == SymbolTable::kNone) continue;
    out.push_back({numbers[name], line, texts[text]});
  }
  return in.ok() && !out.empty();
}

bool SiteRecord::take_definitions(const std::string& page_path, const FileStamp& stamp,
                                  std::vector<DefinitionView>& out, std::string_view& entry) {
  const auto found = sources_.find(page_path);
  if (found == sources_.end() || !(found->second.stamp == stamp)) return false;
  out = std::move(found->second.definitions);
  entry = found->second.entry;
  sources_.erase(found);
  return true;
}

const RecordedPage* SiteRecord::page(std::string_view page_path) const {
  const auto found = pages_.find(page_path);
  return found == pages_.end() ? nullptr : &found->second;
}

bool SiteRecord::uses_of(const RecordedPage& page, const SymbolTable& symbols, PageUses& out) {
  std::vector<std::string_view> names;
  std::vector<std::string_view> texts;
  std::vector<PageUses::Use> uses;
  Reader in(page.uses);
  if (!read_uses(in, &names, &texts, &uses)) return false;
  std::vector<std::uint32_t> numbers(names.size());
  for (std::size_t i = 0; i < names.size(); ++i) {
    numbers[i] = symbols.find(names[i]);
    if (numbers[i] == SymbolTable::kNone) return false;
  }
  out = PageUses();
  out.texts.reserve(texts.size());
  for (const std::string_view text : texts) out.texts.emplace_back(text);
  out.uses.reserve(uses.size());
  for (PageUses::Use use : uses) {
    use.name = numbers[use.name];
    out.uses.push_back(use);
  }
  return true;
}

void append_source_entry(std::string& out, std::string_view page_path, const FileStamp& stamp,
                         std::span<const Definition> definitions) {
  std::size_t size = 4 + page_path.size() + kStampSize + 4;
  for (const Definition& definition : definitions)
    size += 3 * 4 + definition.name.size() + definition.scope.size() + definition.text.size() + 4 + 2;
  out.reserve(out.size() + size);
  put_text(out, page_path);
  put_stamp(out, stamp);
  put32(out, static_cast<std::uint32_t>(definitions.size()));
  for (const Definition& definition : definitions) {
    put_text(out, definition.name);
    put_text(out, definition.scope);
    put_text(out, definition.text);
    const char tail[2] = {static_cast<char>(definition.kind), static_cast<char>(definition.declaration_only)};
    put32(out, definition.line);
    out.append(tail, 2);
  }
}

void append_page_entry(std::string& out, std::string_view page_path, const FileStamp& source,
                       const FileStamp& page, PageUses& uses, const SymbolTable& symbols) {
  // The names by their own bytes: the table's numbers are this run's only.
  std::vector<std::uint32_t> names;
  names.reserve(uses.uses.size());
  for (const PageUses::Use& use : uses.uses) names.push_back(use.name);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  // Every name it uses is among those it looked up (as a page's links make
  // them anyway), so that a run after can pass over a page whose looked-up
  // names hold none it wants.
  std::vector<std::uint32_t>& looked_up = uses.looked_up;
  for (const std::uint32_t name : names)
    looked_up.push_back(static_cast<std::uint32_t>(SymbolTable::name_hash(symbols.name(name))));
  std::sort(looked_up.begin(), looked_up.end());
  looked_up.erase(std::unique(looked_up.begin(), looked_up.end()), looked_up.end());
  std::size_t size =
      4 + page_path.size() + 2 * kStampSize + 4 + 4 * looked_up.size() + 4 + 4 + 4 + 12 * uses.uses.size();
  for (const std::uint32_t name : names) size += 4 + symbols.name(name).size();
  for (const std::string& text : uses.texts) size += 4 + text.size();
  out.reserve(out.size() + size);
  put_text(out, page_path);
  put_stamp(out, source);
  put_stamp(out, page);
  put32(out, static_cast<std::uint32_t>(looked_up.size()));
  for (const std::uint32_t hash : looked_up) put32(out, hash);
  put32(out, static_cast<std::uint32_t>(names.size()));
  for (const std::uint32_t name : names) put_text(out, symbols.name(name));
  put32(out, static_cast<std::uint32_t>(uses.texts.size()));
  for (const std::string& text : uses.texts) put_text(out, text);
  put32(out, static_cast<std::uint32_t>(uses.uses.size()));
  for (const PageUses::Use& use : uses.uses) {
    put32(out,
          static_cast<std::uint32_t>(std::lower_bound(names.begin(), names.end(), use.name) - names.begin()));
    put32(out, use.line);
    put32(out, use.text);
  }
}

// A chunk of the writer's own bytes: large enough that a record of
// megabytes is a few pieces, small enough that a small one takes little.
constexpr std::size_t kChunkSize = std::size_t{1} << 20;

SiteRecordWriter::SiteRecordWriter(std::uint64_t fingerprint) {
  std::string head(kOpening);
  put64(head, fingerprint);
  put64(head, 0);
  put_stamp(head, FileStamp());
  head_ = own(head);
  count_at_ = own(std::string_view("\0\0\0\0", 4));
}

char* SiteRecordWriter::own(std::string_view bytes) {
  if (chunks_.empty() || chunks_.back().capacity() - chunks_.back().size() < bytes.size()) {
    chunks_.emplace_back();
    chunks_.back().reserve(std::max(kChunkSize, bytes.size()));
  }
  std::string& chunk = chunks_.back();
  const std::size_t at = chunk.size();
  chunk.append(bytes);  // within its capacity: the chunk's bytes stay where they are
  keep(std::string_view(chunk).substr(at, bytes.size()));
  return chunk.data() + at;
}

void SiteRecordWriter::keep(std::string_view bytes) {
  if (bytes.empty()) return;
  if (!split_ && !pieces_.empty() && pieces_.back().data() + pieces_.back().size() == bytes.data()) {
    pieces_.back() = std::string_view(pieces_.back().data(), pieces_.back().size() + bytes.size());
  } else {
    pieces_.push_back(bytes);
  }
  split_ = false;
}

void SiteRecordWriter::add_source(std::string_view page_path, const FileStamp& stamp,
                                  std::span<const Definition> definitions) {
  scratch_.clear();
  append_source_entry(scratch_, page_path, stamp, definitions);
  add_source_entry(scratch_);
}

void SiteRecordWriter::end_sources() {
  patch32(count_at_, count_);
  count_ = 0;
}

void SiteRecordWriter::add_signatures(const LinkSignatures& signatures) {
  scratch_.clear();
  put32(scratch_, static_cast<std::uint32_t>(signatures.size()));
  for (const auto& [hash, signature] : signatures) {
    put64(scratch_, hash);
    put64(scratch_, signature);
  }
  own(scratch_);
  count_at_ = own(std::string_view("\0\0\0\0", 4));
  split_ = true;  // the pages' pieces hold pages only
  pages_from_ = pieces_.size();
}

void SiteRecordWriter::add_page(std::string_view page_path, const FileStamp& source, const FileStamp& page,
                                PageUses& uses, const SymbolTable& symbols) {
  scratch_.clear();
  append_page_entry(scratch_, page_path, source, page, uses, symbols);
  add_page_entry(scratch_);
}

void SiteRecordWriter::seal(std::uint64_t symbol_style, const FileStamp& symbol_records,
                            const std::vector<std::pair<std::uint64_t, std::uint32_t>>& counts) {
  patch32(count_at_, count_);
  std::string symbols;
  put64(symbols, symbol_style);
  put_stamp(symbols, symbol_records);
  std::memcpy(head_ + kSymbolsAt, symbols.data(), symbols.size());
  scratch_.clear();
  put32(scratch_, static_cast<std::uint32_t>(counts.size()));
  for (const auto& [hash, count] : counts) {
    put64(scratch_, hash);
    put32(scratch_, count);
  }
  split_ = true;
  pages_from_ = pieces_.size();  // no pages after this
  own(scratch_);
  std::size_t size = 0;
  for (const std::string_view piece : pieces_) size += piece.size();
  Checksum checksum(size);
  for (const std::string_view piece : pieces_) checksum.add(piece);
  scratch_.clear();
  put64(scratch_, checksum.value());
  own(scratch_);
}

std::string SiteRecordWriter::finish(std::uint64_t symbol_style, const FileStamp& symbol_records,
                                     const std::vector<std::pair<std::uint64_t, std::uint32_t>>& counts) {
  seal(symbol_style, symbol_records, counts);
  std::string bytes;
  for (const std::string_view piece : pieces_) bytes += piece;
  return bytes;
}

bool same_bytes(std::span<const std::string_view> pieces, std::string_view bytes) {
  std::size_t at = 0;
  for (const std::string_view piece : pieces) {
    if (piece.size() > bytes.size() - at) return false;
    // A view of the very bytes compared is them.
    if (piece.data() != bytes.data() + at && piece != bytes.substr(at, piece.size())) return false;
    at += piece.size();
  }
  return at == bytes.size();
}

}  // namespace prismet
