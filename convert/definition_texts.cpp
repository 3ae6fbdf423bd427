#include "convert/definition_texts.h"

#include <cstring>

#include "common/cp932.h"

namespace prismet {

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v' || c == '\n'; }

}  // namespace

std::string_view definition_text(std::string_view text, CharacterEncoding encoding) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  if (text.size() > kDefinitionTextBytes) {
    // Cut before the character that the limit would split.
    std::size_t keep = kDefinitionTextBytes;
    if (encoding == CharacterEncoding::kShiftJis) {
      std::size_t at = 0;
      while (at < keep) at += is_lead_byte(static_cast<unsigned char>(text[at])) ? 2 : 1;
      if (at > keep) keep = at - 2;
    } else {
      while (keep > 0 && (static_cast<unsigned char>(text[keep]) & 0xC0) == 0x80) --keep;
    }
    text = text.substr(0, keep);
    while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  }
  return text;
}

void DefinitionTexts::start(CharacterEncoding encoding) {
  encoding_ = encoding;
  current_ = 0;
  for (Entry& entry : entries_) entry.line = 0;
}

void DefinitionTexts::begin_line(std::uint32_t line) {
  current_ = line;
  Entry& entry = entries_[line % kLines];
  entry.line = line;
  entry.size = 0;
}

void DefinitionTexts::add(const char* text, std::size_t size) {
  Entry& entry = entries_[current_ % kLines];
  if (entry.line != current_) return;
  if (entry.size == 0) {
    // Leading blanks are never kept, whichever piece they fill.
    while (size > 0 && is_blank(*text)) {
      ++text;
      --size;
    }
  }
  const std::size_t room = sizeof entry.bytes - entry.size;
  const std::size_t take = size < room ? size : room;
  std::memcpy(entry.bytes + entry.size, text, take);
  entry.size = static_cast<std::uint16_t>(entry.size + take);
}

bool DefinitionTexts::find(std::uint32_t line, std::string& text) const {
  const Entry& entry = entries_[line % kLines];
  if (entry.line != line || line == 0) return false;
  text.assign(definition_text(std::string_view(entry.bytes, entry.size), encoding_));
  return true;
}

}  // namespace prismet
