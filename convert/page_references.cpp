#include "convert/page_references.h"

#include <algorithm>
#include <charconv>

#include "common/cp932.h"
#include "convert/name_runs.h"
#include "convert/symbol_page_name.h"

namespace prismet {

namespace {

constexpr std::size_t kMaxLineText = 240;

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The length of the character at `at`, as far as the text holds it.
std::size_t character_length(std::string_view text, std::size_t at, bool utf8) {
  const auto byte = static_cast<unsigned char>(text[at]);
  std::size_t length = 1;
  if (!utf8) {
    length = is_lead_byte(byte) ? 2 : 1;
  } else if (byte >= 0xF0) {
    length = 4;
  } else if (byte >= 0xE0) {
    length = 3;
  } else if (byte >= 0xC0) {
    length = 2;
  }
  return std::min(length, text.size() - at);
}

// A page's uses by name, then line, each with its line's text.
struct NamedUse {
  std::uint32_t name;
  std::uint32_t line;
  std::string_view text;
  bool operator<(const NamedUse& other) const {
    return name != other.name   ? name < other.name
           : line != other.line ? line < other.line
                                : text < other.text;
  }
  bool operator==(const NamedUse& other) const = default;
};

std::vector<NamedUse> named_uses(const PageUses& page) {
  std::vector<NamedUse> uses;
  uses.reserve(page.uses.size());
  for (const PageUses::Use& use : page.uses) {
    const std::string_view text = use.text < page.texts.size() ? page.texts[use.text] : std::string_view();
    uses.push_back({use.name, use.line, text});
  }
  std::sort(uses.begin(), uses.end());
  return uses;
}

}  // namespace

void mark_changed_uses(const PageUses& before, const PageUses& now, std::vector<char>& changed) {
  const std::vector<NamedUse> a = named_uses(before);
  const std::vector<NamedUse> b = named_uses(now);
  auto mark = [&changed](std::uint32_t name) {
    if (name < changed.size()) changed[name] = 1;
  };
  for_each_changed_name(
      std::span<const NamedUse>(a), std::span<const NamedUse>(b),
      [](const NamedUse& use) { return use.name; },
      [](const NamedUse& x, const NamedUse& y) { return x == y; }, mark);
}

std::string_view trimmed_line_text(std::string_view line, bool utf8) {
  while (!line.empty() && is_blank(line.front())) line.remove_prefix(1);
  while (!line.empty() && is_blank(line.back())) line.remove_suffix(1);
  if (line.size() <= kMaxLineText) return line;
  std::size_t end = 0;
  while (end < line.size()) {
    const std::size_t next = end + character_length(line, end, utf8);
    if (next > kMaxLineText) break;
    end = next;
  }
  line = line.substr(0, end);
  while (!line.empty() && is_blank(line.back())) line.remove_suffix(1);
  return line;
}

PageReferences::PageReferences(const SymbolTable& symbols, std::string_view page_path, bool utf8_page,
                               PageLinks* includes, PageUses* uses)
    : symbols_(symbols),
      page_(symbols.page_of(page_path)),
      utf8_page_(utf8_page),
      includes_(includes),
      uses_(uses) {
  for (const char c : page_path) {
    if (c == '/') root_ += "../";
  }
  for (std::size_t i = 0; i < kSeenSlots; ++i) seen_[i] = ~static_cast<std::uint32_t>(i);
  set_links_identifiers(true);
}

std::string_view PageReferences::include_target(std::string_view name, bool angled) {
  return includes_ != nullptr ? includes_->include_target(name, angled) : std::string_view();
}

std::string_view PageReferences::identifier_target(const IdentifierUse& use) {
  const std::uint64_t hash = SymbolTable::name_hash(use.name);
  const std::uint32_t name = symbols_.find(use.name, hash);
  const SymbolTable::Link link = name == SymbolTable::kNone
                                     ? SymbolTable::Link{}
                                     : symbols_.link(name, page_, use.line, use.after_member);
  // A name on one of the page's own definition's lines leads to its uses
  // whatever the other pages define: the page's own source decides that.
  if (uses_ != nullptr && link.kind != SymbolTable::LinkKind::kUses) {
    const auto hash32 = static_cast<std::uint32_t>(hash);
    std::uint32_t& seen = seen_[hash32 % kSeenSlots];
    if (seen != hash32) {
      seen = hash32;
      uses_->looked_up.push_back(hash32);
    }
  }
  switch (link.kind) {
    case SymbolTable::LinkKind::kNone:
      return {};
    case SymbolTable::LinkKind::kDefinition: {
      target_.clear();
      if (link.page != page_) {
        target_ += root_;
        target_ += symbols_.page_url(link.page);
      }
      target_ += "#L";
      char digits[16];
      const auto written = std::to_chars(digits, digits + sizeof digits, link.line);
      target_.append(digits, written.ptr);
      break;
    }
    case SymbolTable::LinkKind::kSymbolPage:
    case SymbolTable::LinkKind::kUses:
      target_ = root_;
      target_ += symbols_.symbol_url(name);
      if (link.kind == SymbolTable::LinkKind::kUses) {
        target_ += kSymbolUsesSuffix;  // the anchor of its uses
        return target_;                // the definition itself is no use
      }
      break;
  }
  record(name, use);
  return target_;
}

void PageReferences::record(std::uint32_t name, const IdentifierUse& use) {
  if (uses_ == nullptr) return;
  const auto line = static_cast<std::uint32_t>(use.line);
  if (uses_->texts.empty() || text_line_ != use.line) {
    uses_->texts.emplace_back(trimmed_line_text(use.line_text, utf8_page_));
    text_line_ = use.line;
  }
  uses_->uses.push_back({name, line, static_cast<std::uint32_t>(uses_->texts.size() - 1)});
}

}  // namespace prismet
