// The texts of the last lines of a source as a definition shows them: the
// line without the blanks at both ends, at most 240 bytes, cut at a
// character's start. A ring of fixed size: a definition is settled a few
// lines after its name at most, almost always.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "common/character_encoding.h"

namespace prismet {

inline constexpr std::size_t kDefinitionTextBytes = 240;

// `text` trimmed of blanks at both ends and cut to at most 240 bytes at a
// character's start of `encoding` (the blanks before the cut trimmed too).
std::string_view definition_text(std::string_view text, CharacterEncoding encoding);

class DefinitionTexts {
 public:
  static constexpr std::size_t kLines = 256;

  void start(CharacterEncoding encoding);
  // A new line, `line` (1-based), begins.
  void begin_line(std::uint32_t line);
  // A piece of the current line's text.
  void add(const char* text, std::size_t size);
  // The text of `line`, when it is one of the last kLines lines.
  bool find(std::uint32_t line, std::string& text) const;

 private:
  struct Entry {
    std::uint32_t line = 0;
    std::uint16_t size = 0;
    char bytes[kDefinitionTextBytes + 1];  // one byte more than is kept, to cut at a character
  };
  Entry entries_[kLines];
  std::uint32_t current_ = 0;
  CharacterEncoding encoding_ = CharacterEncoding::kUtf8;
};

}  // namespace prismet
