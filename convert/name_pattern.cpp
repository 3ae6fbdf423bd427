#include "convert/name_pattern.h"

#include "common/cp932.h"
#include "common/path_text.h"

namespace prismet {

namespace {

// The byte count of the character at `position`: a code page 932 pair, or
// a UTF-8 lead byte with the continuation bytes after it (at most three).
std::size_t character_length(std::string_view name, std::size_t position) {
  if (kCodePage932Names) return char_length(name, position);
  const unsigned char lead = static_cast<unsigned char>(name[position]);
  if (lead < 0xC0) return 1;
  std::size_t length = 1;
  while (length < 4 && position + length < name.size() &&
         (static_cast<unsigned char>(name[position + length]) & 0xC0) == 0x80) {
    ++length;
  }
  return length;
}

std::string as_compared(std::string_view text) {
  std::string compared(text);
  if (kCaseBlindFileNames) lower_case_path(compared.data());
  return compared;
}

bool blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

// The usual matching with one remembered star: on a mismatch the last "*"
// takes one more character and the rest is tried again from there, so a
// name costs at most its length times the pattern's.
bool name_matches_pattern(std::string_view raw_pattern, std::string_view raw_name) {
  const std::string pattern = as_compared(raw_pattern);
  const std::string name = as_compared(raw_name);
  std::size_t p = 0;
  std::size_t n = 0;
  std::size_t star = std::string::npos;  // the pattern's position after the last "*"
  std::size_t star_name = 0;             // where the name stood when it was met
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = ++p;
      star_name = n;
    } else if (p < pattern.size() && pattern[p] == '?') {
      ++p;
      n += character_length(name, n);
    } else if (p < pattern.size() && pattern[p] == name[n]) {
      ++p;
      ++n;
    } else if (star != std::string::npos) {
      star_name += character_length(name, star_name);
      p = star;
      n = star_name;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

NamePatterns::NamePatterns(std::string_view list) {
  std::size_t position = 0;
  while (position < list.size()) {
    while (position < list.size() && blank(list[position])) ++position;
    std::size_t end = position;
    while (end < list.size() && !blank(list[end])) ++end;
    if (end > position) patterns_.emplace_back(list.substr(position, end - position));
    position = end;
  }
}

bool NamePatterns::matches(std::string_view name) const {
  for (const std::string& pattern : patterns_) {
    if (name_matches_pattern(pattern, name)) return true;
  }
  return false;
}

}  // namespace prismet
