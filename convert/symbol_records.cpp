#include "convert/symbol_records.h"

#include <charconv>

#include "common/fnv1a.h"
#include "common/word_mix.h"

namespace prismet {

namespace {

constexpr std::string_view kOpening = "prismet-symbol-records 1\n";
static_assert(kOpening.size() <= kSymbolRecordsHeadSize);

// A digest of fields, eight bytes at a time; each field ends in its
// length, so that moving bytes from one field to the next changes the
// digest. A group's uses are most of the site's bytes: FNV-1a a byte at a
// time took 8% of a first run of the headers' site (perf; bench/run.py's
// cross-reference peer row).
class Digest {
 public:
  void add(std::string_view text) { hash_ = mix_word(mix_words(hash_, text), text.size()); }
  void add(std::uint64_t value) { hash_ = mix_word(hash_, value); }
  std::uint64_t value() const { return hash_ == 0 ? 1 : hash_; }

 private:
  std::uint64_t hash_ = kFnv1aBasis;
};

void add_place(Digest& digest, const SymbolPlace& place) {
  digest.add(place.page);
  digest.add(place.line);
  digest.add(place.text);
}

void append_field(std::string& out, std::uint64_t value) {
  char text[24];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
  out.append(text, end.ptr);
  out += ' ';
}

bool read_field(std::string_view& line, unsigned base, std::uint64_t& value) {
  const std::size_t blank = line.find(' ');
  if (blank == 0 || blank == std::string_view::npos) return false;
  const std::from_chars_result read =
      std::from_chars(line.data(), line.data() + blank, value, static_cast<int>(base));
  if (read.ec != std::errc() || read.ptr != line.data() + blank) return false;
  line.remove_prefix(blank + 1);
  return true;
}

bool read_line(std::string_view line, SymbolRecords& records) {
  SymbolRecord record;
  FileStamp& s = record.page;
  if (!read_field(line, 16, record.digest) || record.digest == 0) return false;
  for (std::uint64_t* field : {&s.device, &s.index, &s.size, &s.modified, &s.changed}) {
    if (!read_field(line, 10, *field)) return false;
  }
  if (line.empty() || line.find(' ') != std::string_view::npos) return false;
  records.insert_or_assign(std::string(line), record);
  return true;
}

}  // namespace

std::uint64_t symbol_group_digest(std::span<const Symbol* const> names, const SymbolPagesStyle& style) {
  Digest digest;
  // The page's look, which a new version of the page's layout changes too.
  digest.add(std::string_view("symbol group 3"));
  digest.add(style.extension);
  digest.add(style.utf8 ? 1 : 0);
  digest.add(style.root_name);
  digest.add(names.size());
  for (const Symbol* symbol : names) {
    digest.add(symbol->name);
    digest.add(symbol->definitions.size());
    for (const SymbolDefinition& definition : symbol->definitions) {
      add_place(digest, definition);
      digest.add(static_cast<std::uint64_t>(definition.kind));
      digest.add(definition.scope);
      digest.add(definition.declaration_only ? 1 : 0);
    }
    digest.add(symbol->uses.size());
    for (const SymbolPlace& use : symbol->uses) add_place(digest, use);
  }
  return digest.value();
}

std::string render_symbol_records(std::span<const NamedRecord> records) {
  std::string out(kOpening);
  out.reserve(records.size() * 80);
  for (const NamedRecord& named : records) {
    const SymbolRecord& r = named.record;
    if (r.digest == 0) continue;
    static constexpr char kHex[] = "0123456789abcdef";
    for (int shift = 60; shift >= 0; shift -= 4) out += kHex[(r.digest >> shift) & 15];
    out += ' ';
    for (const std::uint64_t field :
         {r.page.device, r.page.index, r.page.size, r.page.modified, r.page.changed})
      append_field(out, field);
    out += named.page_name;
    out += '\n';
  }
  return out;
}

bool read_symbol_records(std::string_view bytes, SymbolRecords& records) {
  records.clear();
  if (!begins_like_symbol_records(bytes)) return false;
  bytes.remove_prefix(kOpening.size());
  while (!bytes.empty()) {
    const std::size_t end = bytes.find('\n');
    if (end == std::string_view::npos) break;  // cut short: its last line is not whole
    read_line(bytes.substr(0, end), records);
    bytes.remove_prefix(end + 1);
  }
  return true;
}

bool begins_like_symbol_records(std::string_view head) { return head.substr(0, kOpening.size()) == kOpening; }

}  // namespace prismet
