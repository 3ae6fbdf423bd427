#include "convert/page_variables.h"

#include <cstring>

#include "common/character_encoding.h"
#include "common/cp932_encoder.h"
#include "common/cp932_table.h"
#include "common/path_text.h"
#include "engine/text_escaper.h"

namespace prismet {

std::string escaped_for_html(std::string_view text) {
  return TextEscaper::escaped(text, TextEscaper::Apostrophe::kEntity);
}

namespace {

// UTF-8 text with every byte that begins no well-formed sequence replaced
// by U+FFFD, so a name of another encoding cannot make the page invalid.
std::string well_formed_utf8(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  const char* position = text.data();
  const char* end = position + text.size();
  while (position < end) {
    const std::size_t length = utf8_sequence_length(position, end);
    if (length == 1 && static_cast<unsigned char>(*position) >= 0x80) {
      result += "\xEF\xBF\xBD";
    } else {
      result.append(position, length);
    }
    position += length;
  }
  return result;
}

bool is_well_formed_utf8(std::string_view text) {
  const char* position = text.data();
  const char* end = position + text.size();
  while (position < end) {
    const std::size_t length = utf8_sequence_length(position, end);
    if (length == 1 && static_cast<unsigned char>(*position) >= 0x80) return false;
    position += length;
  }
  return true;
}

// True when every byte belongs to a character code page 932 decodes.
bool is_whole_cp932(std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (decode_cp932_single(byte) >= 0) continue;
    if (i + 1 == text.size() || decode_cp932_pair(byte, static_cast<unsigned char>(text[i + 1])) == 0) {
      return false;
    }
    ++i;
  }
  return true;
}

}  // namespace

std::string name_as_page_text(std::string_view name, bool utf8_page) {
  // ASCII is the same in every encoding here; most names are ASCII, and an
  // index shows every name of its folder.
  bool ascii = true;
  for (const char byte : name) ascii = ascii && static_cast<unsigned char>(byte) < 0x80;
  if (ascii) return escaped_for_html(name);
  if (utf8_page) return escaped_for_html(well_formed_utf8(file_name_as_utf8(name)));
  if (file_names_are_cp932()) return escaped_for_html(name);
  const std::string utf8 = file_name_as_utf8(name);
  if (!is_well_formed_utf8(utf8) && is_whole_cp932(utf8)) return escaped_for_html(utf8);
  // Escaping first is safe: it changes only ASCII bytes, which are never
  // part of a UTF-8 sequence, and leaves the references the conversion adds.
  return cp932_html_of_utf8(escaped_for_html(well_formed_utf8(utf8)));
}

PageVariables page_variables_for(const char* source_path, bool utf8_page) {
  return {{"{{source}}", name_as_page_text(file_name_of(source_path), utf8_page)}};
}

bool VariableWriter::held_begins_placeholder() const {
  for (const PageVariable& variable : variables_) {
    if (variable.placeholder.compare(0, held_.size(), held_) == 0) return true;
  }
  return false;
}

void VariableWriter::take(char byte) {
  held_ += byte;
  for (const PageVariable& variable : variables_) {
    if (held_ == variable.placeholder) {
      output_.write(variable.value.data(), variable.value.size());
      held_.clear();
      return;
    }
  }
  if (held_begins_placeholder()) return;
  // No placeholder starts with the held bytes: the first goes out, and the
  // rest may still begin one.
  std::string rest = held_.substr(1);
  output_.write(held_.data(), 1);
  held_.clear();
  for (const char next : rest) {
    if (held_.empty() && next != '{') {
      output_.write(&next, 1);
    } else {
      take(next);
    }
  }
}

void VariableWriter::write(const char* data, std::size_t size) {
  const char* const end = data + size;
  while (data < end) {
    if (!held_.empty()) {
      take(*data++);
      continue;
    }
    // Text up to the next brace goes out at once.
    const void* brace = std::memchr(data, '{', static_cast<std::size_t>(end - data));
    const char* stop = brace != nullptr ? static_cast<const char*>(brace) : end;
    output_.write(data, static_cast<std::size_t>(stop - data));
    data = stop;
    if (data < end) take(*data++);
  }
}

void VariableWriter::finish() {
  output_.write(held_.data(), held_.size());
  held_.clear();
}

}  // namespace prismet
