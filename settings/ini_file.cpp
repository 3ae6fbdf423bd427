#include "settings/ini_file.h"

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

#include "common/bounded_copy.h"
#include "common/cp932.h"
#include "common/file_replacement.h"
#include "common/file_system.h"
#include "settings/ini_document.h"

namespace prismet::ini {

namespace {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

enum class LoadResult { kLoaded, kMissing, kUnreadable };

LoadResult load_document(const char* file, Document& document) {
  if (file == nullptr || !path_exists(file)) return LoadResult::kMissing;
  const std::unique_ptr<std::FILE, FileCloser> stream(open_file_for_reading(file));
  if (!stream) return LoadResult::kUnreadable;
  std::string bytes;
  char block[16384];
  for (;;) {
    std::size_t got = 0;
    if (!read_block(stream.get(), block, sizeof block, got)) return LoadResult::kUnreadable;
    bytes.append(block, got);
    if (got < sizeof block) break;
  }
  document = parse_document(bytes);
  return LoadResult::kLoaded;
}

// A default loses its trailing spaces, but keeps at least one byte.
std::string_view without_trailing_spaces(std::string_view text) {
  while (text.size() > 1 && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// One pair of enclosing quotes, of either kind, comes off a value of at least
// two characters; a quote that is the second byte of a double-byte
// character does not count.
std::string_view without_quotes(std::string_view text) {
  if (text.empty() || (text.front() != '"' && text.front() != '\'')) return text;
  std::size_t last = 0;
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); i += char_length(text, i)) {
    last = i;
    ++characters;
  }
  if (characters < 2 || char_length(text, last) != 1 || text[last] != text.front()) return text;
  return text.substr(1, last - 1);
}

}  // namespace

std::size_t read_string(const char* file, const char* section, const char* key, const char* default_value,
                        char* buffer, std::size_t capacity) {
  if (buffer == nullptr || capacity == 0) return 0;
  if (file == nullptr || section == nullptr || key == nullptr) {
    buffer[0] = '\0';
    return 0;
  }
  const std::string fallback =
      whole_characters(without_trailing_spaces(default_value != nullptr ? default_value : ""));
  Document document;
  if (load_document(file, document) == LoadResult::kUnreadable) {
    return copy_whole_characters(buffer, capacity, fallback);
  }
  std::string_view value = fallback;
  if (Section* found_section = find_section(document, section)) {
    const Key* found_key = find_key(*found_section, key);
    if (found_key != nullptr && found_key->value) value = *found_key->value;
  }
  return copy_whole_characters(buffer, capacity, without_quotes(value));
}

bool write_string(const char* file, const char* section, const char* key, const char* value) {
  if (file == nullptr || section == nullptr || key == nullptr || value == nullptr) return false;
  Document document;
  if (load_document(file, document) == LoadResult::kUnreadable) return false;
  if (!set_value(document, section, key, value)) return true;
  return replace_file_contents(file, write_document(document));
}

}  // namespace prismet::ini
