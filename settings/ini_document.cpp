#include "settings/ini_document.h"

#include "common/ascii_case.h"
#include "common/cp932.h"

namespace prismet::ini {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

// The byte count of the character at `position`: UTF-8 text is stepped
// through a byte at a time (see ini_document.h).
std::size_t step(std::string_view text, std::size_t position, TextEncoding encoding) {
  return encoding == TextEncoding::kUtf8 ? 1 : char_length(text, position);
}

std::string_view trim_trailing_blanks(std::string_view text, TextEncoding encoding) {
  // Walk forwards: only there are character boundaries known.
  std::size_t end = 0;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = step(text, i, encoding);
    if (length == 2 || !is_blank(text[i])) end = i + length;
    i += length;
  }
  return text.substr(0, end);
}

// The position of the first (or last) single-byte character `wanted`.
std::size_t find_char(std::string_view text, char wanted, bool last, TextEncoding encoding) {
  std::size_t found = kNone;
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = step(text, i, encoding);
    if (length == 1 && text[i] == wanted) {
      found = i;
      if (!last) break;
    }
    i += length;
  }
  return found;
}

// A section or key name as read from the file: cut at its first NUL like
// any name, then without the blanks that cut leaves at its end. Written back
// and read again the name loses those blanks anyway, so keeping them would
// make a write miss the key (and append a second one that a later read
// never finds).
std::string file_name(std::string_view text, TextEncoding encoding) {
  const std::string whole = whole_characters(text, encoding);
  return std::string(trim_trailing_blanks(whole, encoding));
}

// One line of the file, already without its outer blanks: a section header
// or a key.
void parse_line(Document& document, std::string_view line, std::size_t line_number) {
  const TextEncoding encoding = document.encoding;
  Section* section = &document.sections.back();
  if (line.front() == '[') {
    const std::size_t close = find_char(line, ']', true, encoding);
    if (close != kNone) {
      document.sections.push_back(
          Section{file_name(trim_blanks(line.substr(1, close - 1), encoding), encoding), {}});
      return;
    }
  }
  Key key;
  key.line = line_number;
  const std::size_t equals = find_char(line, '=', false, encoding);
  std::string_view name = line;
  if (equals != kNone) {
    name = trim_trailing_blanks(line.substr(0, equals), encoding);
    key.value = whole_characters(trim_leading_blanks(line.substr(equals + 1)), encoding);
  }
  // A key without a name directly behind another one without a name is dropped.
  if (name.empty() && !section->keys.empty() && section->keys.back().name.empty()) return;
  key.name = file_name(name, encoding);
  section->keys.push_back(std::move(key));
}

}  // namespace

bool is_blank(char byte) {
  return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\v' || byte == '\f' || byte == '\r' ||
         byte == '\x1a';
}

std::string_view trim_leading_blanks(std::string_view text) {
  // A blank is never a lead byte, so every byte skipped is a whole character.
  std::size_t start = 0;
  while (start < text.size() && is_blank(text[start])) ++start;
  return text.substr(start);
}

std::string_view trim_blanks(std::string_view text, TextEncoding encoding) {
  return trim_trailing_blanks(trim_leading_blanks(text), encoding);
}

std::string whole_characters(std::string_view text, TextEncoding encoding) {
  // Names and values are NUL-terminated strings to the profile functions.
  text = text.substr(0, text.find('\0'));
  std::string whole(text);
  if (encoding == TextEncoding::kUtf8) return whole;
  std::size_t last = kNone;
  for (std::size_t i = 0; i < text.size(); i += char_length(text, i)) last = i;
  // Written back as it is, a lone lead byte would take the line end after
  // it as its second byte.
  if (last != kNone && is_lead_byte(static_cast<unsigned char>(text[last])) && last + 1 == text.size()) {
    whole[last] = '\x81';
    whole += '\x45';
  }
  return whole;
}

bool names_match(std::string_view a, std::string_view b, TextEncoding encoding) {
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t length = step(a, i, encoding);
    if (step(b, j, encoding) != length) return false;
    if (length == 2) {
      if (a[i] != b[j] || a[i + 1] != b[j + 1]) return false;
    } else if (lower_ascii(a[i]) != lower_ascii(b[j])) {
      return false;
    }
    i += length;
    j += length;
  }
  return i == a.size() && j == b.size();
}

Document parse_document(std::string_view bytes, TextEncoding encoding) {
  Document document;
  document.encoding = encoding;
  std::size_t i = 0;
  std::size_t line_number = 1;
  while (i < bytes.size()) {
    const std::size_t start = i;
    while (i < bytes.size() && bytes[i] != '\r' && bytes[i] != '\n') i += step(bytes, i, encoding);
    const std::string_view line = trim_blanks(bytes.substr(start, i - start), encoding);
    if (!line.empty()) parse_line(document, line, line_number);
    if (i < bytes.size()) {
      // The CR or LF; a CR LF pair leaves an empty line, which is dropped,
      // and counts as one line end.
      if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      ++i;
      ++line_number;
    }
  }
  return document;
}

std::string write_document(const Document& document) {
  std::string bytes;
  for (const Section& section : document.sections) {
    if (!section.name.empty()) {
      bytes += '[';
      bytes += section.name;
      bytes += "]\r\n";
    }
    for (const Key& key : section.keys) {
      bytes += key.name;
      if (key.value) {
        bytes += '=';
        bytes += *key.value;
      }
      bytes += "\r\n";
    }
  }
  return bytes;
}

Section* find_section(Document& document, std::string_view name) {
  const TextEncoding encoding = document.encoding;
  const std::string wanted = whole_characters(trim_blanks(name, encoding), encoding);
  for (Section& section : document.sections) {
    if (names_match(section.name, wanted, encoding)) return &section;
  }
  return nullptr;
}

Key* find_key(Section& section, std::string_view name, TextEncoding encoding) {
  const std::string wanted = whole_characters(trim_blanks(name, encoding), encoding);
  for (Key& key : section.keys) {
    if (names_match(key.name, wanted, encoding)) return &key;
  }
  return nullptr;
}

bool set_value(Document& document, std::string_view section_name, std::string_view key_name,
               std::string_view value) {
  const TextEncoding encoding = document.encoding;
  std::string new_value = whole_characters(trim_leading_blanks(value), encoding);
  Section* section = find_section(document, section_name);
  if (section == nullptr) {
    document.sections.push_back(Section{whole_characters(trim_leading_blanks(section_name), encoding), {}});
    section = &document.sections.back();
  }
  Key* key = find_key(*section, key_name, encoding);
  if (key == nullptr) {
    Key added;
    added.name = whole_characters(trim_leading_blanks(key_name), encoding);
    added.value = std::move(new_value);
    section->keys.push_back(std::move(added));
    return true;
  }
  if (key->value && *key->value == new_value) return false;
  key->value = std::move(new_value);
  return true;
}

bool section_name_reads_back(std::string_view name) {
  // A CR or LF byte is refused even as the second byte of a character: the
  // platform's reading of such a pair is not ours to rely on.
  if (name.find_first_of(std::string_view("\0\r\n", 3)) != std::string_view::npos) return false;
  if (trim_blanks(name).empty()) return false;
  Document written;
  set_value(written, name, "k", "v");
  Document read = parse_document(write_document(written));
  const Section* section = find_section(read, name);
  return section != nullptr && section->keys.size() == 1 && section->keys.front().name == "k" &&
         section->keys.front().value == "v" && read.sections.size() == written.sections.size();
}

}  // namespace prismet::ini
